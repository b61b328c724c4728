#pragma once
#include <windows.h>
#include <exdisp.h>
#include <oleidl.h>
#include <wrl/client.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/AllWebBrowsers.h"
#include "controls/WebBrowser.h"

// The system's WebBrowser object hosted in a window: a minimal OLE
// container (client site, in-place site and frame) and the event sink that
// turns its events into TWebBrowserEvents calls. Every call checks what the
// object answers; without a loaded page the page properties are simply not
// there.
class TOleWebBrowser : public TWebBrowser, public TRoutedBrowser {
 public:
  // The browser inside the parent window's client rectangle, or null when
  // the object cannot be created or activated there.
  static std::unique_ptr<TOleWebBrowser> create(HWND parent, TWebBrowserEvents& events);
  // Made through create, which opens the object.
  TOleWebBrowser(HWND parent, TWebBrowserEvents& events);
  ~TOleWebBrowser() override;
  TOleWebBrowser(const TOleWebBrowser&) = delete;
  TOleWebBrowser& operator=(const TOleWebBrowser&) = delete;

  void navigate(const std::string& url) override;
  void goBack() override;
  void goForward() override;
  void refresh() override;
  void stop() override;
  std::string locationURL() const override;
  bool busy() const override;
  bool visible() const override;
  void setVisible(bool visible) override;
  bool scrollPosition(POINT& position) const override;
  bool scrollTo(POINT position) override;
  HWND window() const override;
  bool translateAccelerator(MSG& message) override;
  void setBounds(const RECT& bounds) override;

 private:
  class TSite;
  bool open(const RECT& bounds);
  void close();
  // The page's root element and body, those that exist.
  std::vector<Microsoft::WRL::ComPtr<IDispatch>> pageElements() const;

  HWND parent_;
  TWebBrowserEvents& events_;
  std::unique_ptr<TSite> site_;
  Microsoft::WRL::ComPtr<IOleObject> object_;
  Microsoft::WRL::ComPtr<IWebBrowser2> browser_;
  Microsoft::WRL::ComPtr<IConnectionPoint> eventsPoint_;
  DWORD eventsCookie_ = 0;
  RECT bounds_{};
};
