#include "controls/OleWebBrowser.h"

#include <exdispid.h>
#include <ocidl.h>

#include <algorithm>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

std::wstring wideOf(const std::string& text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string narrowOf(const wchar_t* wide) {
  if (!wide || !*wide) return {};
  const int length = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(std::max(length, 1)), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, -1, text.data(), length, nullptr, nullptr);
  text.resize(static_cast<size_t>(std::max(length, 1)) - 1);
  return text;
}

// A BSTR freed with its owner.
class TBstr {
 public:
  explicit TBstr(const std::string& text) : value_(SysAllocString(wideOf(text).c_str())) {}
  TBstr() = default;
  ~TBstr() { SysFreeString(value_); }
  TBstr(const TBstr&) = delete;
  TBstr& operator=(const TBstr&) = delete;
  BSTR get() const { return value_; }
  BSTR* out() { return &value_; }

 private:
  BSTR value_ = nullptr;
};

// A VARIANT cleared with its owner.
struct TVariant : VARIANT {
  TVariant() { VariantInit(this); }
  ~TVariant() { VariantClear(this); }
  TVariant(const TVariant&) = delete;
  TVariant& operator=(const TVariant&) = delete;
};

// Late-bound property access; false when the name or the call fails.
bool getProperty(IDispatch* object, const wchar_t* name, TVariant& result) {
  if (!object) return false;
  DISPID id;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
  DISPPARAMS none{};
  return SUCCEEDED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                                  nullptr));
}

bool putIntegerProperty(IDispatch* object, const wchar_t* name, long value) {
  if (!object) return false;
  DISPID id;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
  VARIANT argument;
  VariantInit(&argument);
  argument.vt = VT_I4;
  argument.lVal = value;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{&argument, &named, 1, 1};
  return SUCCEEDED(
      object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &parameters, nullptr, nullptr, nullptr));
}

ComPtr<IDispatch> dispatchOf(const VARIANT& value) {
  ComPtr<IDispatch> result;
  if (value.vt == VT_DISPATCH && value.pdispVal) result = value.pdispVal;
  return result;
}

bool integerOf(const VARIANT& value, long& result) {
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&value), 0, VT_I4))) return false;
  result = converted.lVal;
  return true;
}

// The argument of an event, counted from the first as the event declares
// them (the array holds them last first); null when absent.
const VARIANT* eventArgument(const DISPPARAMS* parameters, unsigned index) {
  if (!parameters || index >= parameters->cArgs) return nullptr;
  const VARIANT* argument = &parameters->rgvarg[parameters->cArgs - 1 - index];
  if ((argument->vt & VT_BYREF) && (argument->vt & ~VT_BYREF) == VT_VARIANT) return argument->pvarVal;
  return argument;
}

void setCancel(const DISPPARAMS* parameters, unsigned index, bool cancel) {
  if (!parameters || index >= parameters->cArgs) return;
  VARIANT& argument = parameters->rgvarg[parameters->cArgs - 1 - index];
  if (argument.vt == (VT_BYREF | VT_BOOL) && argument.pboolVal) *argument.pboolVal = cancel ? VARIANT_TRUE : VARIANT_FALSE;
}

}  // namespace

// The container side the object talks to. It lives inside its browser
// object, which closes the object and drops every reference to it first.
class TOleWebBrowser::TSite : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame, public IDispatch {
 public:
  explicit TSite(TOleWebBrowser& owner) : owner_(owner) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) *object = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) *object = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) *object = static_cast<IOleInPlaceFrame*>(this);
    else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) *object = static_cast<IDispatch*>(this);
    else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow (shared by the site and the frame)
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = owner_.parent_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                             LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
    if (!frame || !document || !position || !clip) return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    *position = owner_.bounds_;
    *clip = owner_.bounds_;
    if (info) {
      info->fMDIApp = FALSE;
      info->hwndFrame = owner_.parent_;
      info->haccel = nullptr;
      info->cAccelEntries = 0;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT position) override {
    if (position) owner_.setBounds(*position);
    return S_OK;
  }

  // IOleInPlaceUIWindow and IOleInPlaceFrame: the panel has no menus or
  // tool bars to share.
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  // IDispatch: the browser's events.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    // Nothing may escape into the browser object.
    try {
      dispatchEvent(id, parameters);
    } catch (...) {
    }
    return S_OK;
  }

  ULONG references() const { return references_; }

 private:
  void dispatchEvent(DISPID id, DISPPARAMS* parameters) {
    TWebBrowserEvents& events = owner_.events_;
    switch (id) {
      case DISPID_BEFORENAVIGATE2: {
        const VARIANT* url = eventArgument(parameters, 1);
        const std::string address = url && url->vt == VT_BSTR ? narrowOf(url->bstrVal) : std::string();
        setCancel(parameters, 6, events.beforeNavigate(address));
        break;
      }
      case DISPID_COMMANDSTATECHANGE: {
        long command = 0, enabled = 0;
        const VARIANT* first = eventArgument(parameters, 0);
        const VARIANT* second = eventArgument(parameters, 1);
        if (first && second && integerOf(*first, command) && integerOf(*second, enabled))
          events.commandStateChange(command, enabled != 0);
        break;
      }
      case DISPID_DOWNLOADBEGIN: events.downloadBegin(); break;
      case DISPID_DOWNLOADCOMPLETE: events.downloadComplete(); break;
      case DISPID_NAVIGATECOMPLETE2: events.navigateComplete(); break;
      case DISPID_DOCUMENTCOMPLETE: {
        const VARIANT* source = eventArgument(parameters, 0);
        bool topLevel = false;
        if (source && source->vt == VT_DISPATCH && source->pdispVal && owner_.browser_) {
          ComPtr<IUnknown> sourceIdentity, ownIdentity;
          source->pdispVal->QueryInterface(IID_PPV_ARGS(&sourceIdentity));
          owner_.browser_.As(&ownIdentity);
          topLevel = sourceIdentity && sourceIdentity == ownIdentity;
        }
        events.documentComplete(topLevel);
        break;
      }
      case DISPID_NEWWINDOW2: setCancel(parameters, 1, events.newWindow()); break;
      case DISPID_STATUSTEXTCHANGE: {
        const VARIANT* text = eventArgument(parameters, 0);
        events.statusTextChange(text && text->vt == VT_BSTR ? narrowOf(text->bstrVal) : std::string());
        break;
      }
      case DISPID_SETSECURELOCKICON: {
        long state = 0;
        const VARIANT* icon = eventArgument(parameters, 0);
        events.secureLockIcon(icon && integerOf(*icon, state) && state != 0);
        break;
      }
      default: break;
    }
  }

  TOleWebBrowser& owner_;
  ULONG references_ = 1;
};

TOleWebBrowser::TOleWebBrowser(HWND parent, TWebBrowserEvents& events)
    : parent_(parent), events_(events), site_(std::make_unique<TSite>(*this)) {}

TOleWebBrowser::~TOleWebBrowser() { close(); }

std::unique_ptr<TOleWebBrowser> TOleWebBrowser::create(HWND parent, TWebBrowserEvents& events) {
  if (!parent) return nullptr;
  auto browser = std::make_unique<TOleWebBrowser>(parent, events);
  RECT client{};
  GetClientRect(parent, &client);
  if (!browser->open(client)) return nullptr;
  allWebBrowsers().add(browser.get());
  return browser;
}

bool TOleWebBrowser::open(const RECT& bounds) {
  bounds_ = bounds;
  if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object_)))) return false;
  if (FAILED(object_->SetClientSite(site_.get()))) {
    close();
    return false;
  }
  if (FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.get(), 0, parent_, &bounds_)) ||
      FAILED(object_.As(&browser_))) {
    close();
    return false;
  }
  ComPtr<IConnectionPointContainer> points;
  if (SUCCEEDED(browser_.As(&points)) && SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &eventsPoint_)) &&
      FAILED(eventsPoint_->Advise(static_cast<IDispatch*>(site_.get()), &eventsCookie_)))
    eventsPoint_.Reset();
  setBounds(bounds);
  return true;
}

void TOleWebBrowser::close() {
  allWebBrowsers().remove(this);
  if (eventsPoint_ && eventsCookie_) eventsPoint_->Unadvise(eventsCookie_);
  eventsPoint_.Reset();
  eventsCookie_ = 0;
  if (browser_) {
    VARIANT_BOOL isBusy = VARIANT_FALSE;
    if (SUCCEEDED(browser_->get_Busy(&isBusy)) && isBusy) browser_->Stop();
  }
  browser_.Reset();
  if (object_) {
    ComPtr<IOleInPlaceObject> inPlace;
    if (SUCCEEDED(object_.As(&inPlace))) inPlace->InPlaceDeactivate();
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
  }
  object_.Reset();
}

void TOleWebBrowser::navigate(const std::string& url) {
  if (!browser_) return;
  TBstr address(url.empty() ? std::string("about:blank") : url);
  VARIANT empty;
  VariantInit(&empty);
  browser_->Navigate(address.get(), &empty, &empty, &empty, &empty);
}

void TOleWebBrowser::goBack() {
  if (browser_) browser_->GoBack();
}

void TOleWebBrowser::goForward() {
  if (browser_) browser_->GoForward();
}

void TOleWebBrowser::refresh() {
  if (browser_) browser_->Refresh();
}

void TOleWebBrowser::stop() {
  if (browser_) browser_->Stop();
}

std::string TOleWebBrowser::locationURL() const {
  if (!browser_) return {};
  TBstr location;
  if (FAILED(browser_->get_LocationURL(location.out()))) return {};
  return narrowOf(location.get());
}

bool TOleWebBrowser::busy() const {
  VARIANT_BOOL value = VARIANT_FALSE;
  return browser_ && SUCCEEDED(browser_->get_Busy(&value)) && value;
}

bool TOleWebBrowser::visible() const {
  VARIANT_BOOL value = VARIANT_FALSE;
  return browser_ && SUCCEEDED(browser_->get_Visible(&value)) && value;
}

void TOleWebBrowser::setVisible(bool visible) {
  if (browser_) browser_->put_Visible(visible ? VARIANT_TRUE : VARIANT_FALSE);
  if (const HWND own = window()) ShowWindow(own, visible ? SW_SHOW : SW_HIDE);
}

std::vector<ComPtr<IDispatch>> TOleWebBrowser::pageElements() const {
  std::vector<ComPtr<IDispatch>> elements;
  if (!browser_) return elements;
  ComPtr<IDispatch> document;
  if (FAILED(browser_->get_Document(&document)) || !document) return elements;
  for (const wchar_t* name : {L"documentElement", L"body"}) {
    TVariant element;
    if (getProperty(document.Get(), name, element))
      if (ComPtr<IDispatch> found = dispatchOf(element)) elements.push_back(found);
  }
  return elements;
}

bool TOleWebBrowser::scrollPosition(POINT& position) const {
  // The root element scrolls in standards mode, the body otherwise; the one
  // that does not scroll answers 0.
  bool answered = false;
  POINT found{0, 0};
  for (const ComPtr<IDispatch>& element : pageElements()) {
    TVariant left, top;
    long x = 0, y = 0;
    if (!getProperty(element.Get(), L"scrollLeft", left) || !integerOf(left, x)) continue;
    if (!getProperty(element.Get(), L"scrollTop", top) || !integerOf(top, y)) continue;
    answered = true;
    found.x = std::max(found.x, x);
    found.y = std::max(found.y, y);
  }
  if (answered) position = found;
  return answered;
}

bool TOleWebBrowser::scrollTo(POINT position) {
  bool done = false;
  for (const ComPtr<IDispatch>& element : pageElements())
    if (putIntegerProperty(element.Get(), L"scrollLeft", position.x) &&
        putIntegerProperty(element.Get(), L"scrollTop", position.y))
      done = true;
  return done;
}

HWND TOleWebBrowser::window() const {
  if (!object_) return nullptr;
  ComPtr<IOleWindow> oleWindow;
  HWND own = nullptr;
  if (FAILED(object_.As(&oleWindow)) || FAILED(oleWindow->GetWindow(&own))) return nullptr;
  return own;
}

bool TOleWebBrowser::translateAccelerator(MSG& message) {
  if (!browser_) return false;
  ComPtr<IOleInPlaceActiveObject> active;
  return SUCCEEDED(browser_.As(&active)) && active->TranslateAccelerator(&message) == S_OK;
}

void TOleWebBrowser::setBounds(const RECT& bounds) {
  bounds_ = bounds;
  if (!object_) return;
  ComPtr<IOleInPlaceObject> inPlace;
  if (SUCCEEDED(object_.As(&inPlace))) inPlace->SetObjectRects(&bounds_, &bounds_);
}
