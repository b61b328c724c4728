#include "sheet/MacroCallout.h"

#include <algorithm>

#include "sheet/CellStates.h"
#include "sheet/OleVariant.h"

namespace {

thread_local bool retrying = false;

// Clears the argument slots of one call on every way out of it: each slot
// may hold a string or an array that would otherwise leak.
class TSlotsClearer {
 public:
  TSlotsClearer(VARIANT* slots, std::int32_t count) : slots_(slots), count_(count) {}
  ~TSlotsClearer() {
    for (std::int32_t i = 0; i < count_; ++i) VariantClear(&slots_[i]);
  }
  TSlotsClearer(const TSlotsClearer&) = delete;
  TSlotsClearer& operator=(const TSlotsClearer&) = delete;

 private:
  VARIANT* slots_;
  std::int32_t count_;
};

// Marks the shared argument area as in use for one call.

}  // namespace

TMacroRetry::TMacroRetry() : retrying_(retrying, true) {}
bool TMacroRetry::active() { return retrying; }

void TScriptArguments::setValue(std::int32_t index, const TValueRecord& value) {
  VARIANT& variant = slot(index);
  VariantClear(&variant);
  valueToVariant(value, variant);
}

bool TScriptArguments::setArray(std::int32_t index, const TArray* array) {
  VARIANT& variant = slot(index);
  VariantClear(&variant);
  return arrayToVariant(array, variant);
}

TMacroCallout::TMacroCallout() = default;

TMacroCallout::~TMacroCallout() {
  for (VARIANT& slot : slots_) VariantClear(&slot);
}

void TMacroCallout::setScriptEngine(IActiveScript* engine) {
  forgetMembers();
  engine_ = engine;
}

void TMacroCallout::forgetMembers() {
  memberIds_.clear();
  globalObject_.Reset();
}

// A closed engine answers every call with a failure, and a reset one has
// dropped its code; neither may be asked for its global object.
bool TMacroCallout::engineUsable() {
  SCRIPTSTATE state = SCRIPTSTATE_CLOSED;
  if (FAILED(engine_->GetScriptState(&state))) return false;
  return state != SCRIPTSTATE_CLOSED && state != SCRIPTSTATE_UNINITIALIZED;
}

DISPID TMacroCallout::memberId(const std::string& name) {
  Microsoft::WRL::ComPtr<IDispatch> global;
  if (FAILED(engine_->GetScriptDispatch(nullptr, &global)) || !global) return DISPID_UNKNOWN;
  if (global.Get() != globalObject_.Get()) {
    forgetMembers();
    globalObject_ = global;
  }
  auto known = memberIds_.find(name);
  if (known != memberIds_.end()) return known->second;

  std::wstring wideName = ansiToWide(name);
  LPOLESTR names[1] = {wideName.data()};
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(globalObject_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)) || id == DISPID_UNKNOWN)
    return DISPID_UNKNOWN;
  // Only found names are kept: a script may still define the others later.
  memberIds_.emplace(name, id);
  return id;
}

std::uint8_t TMacroCallout::callFunction(const std::string& name, std::int32_t argumentCount,
                                         const std::function<bool(TScriptArguments&)>& fillArguments,
                                         TScriptValue& result) {
  result.value.clear();
  result.array.reset();
  if (!engine_) return errName;
  if (!engineUsable()) {
    forgetMembers();
    return errName;
  }
  DISPID id = memberId(name);
  if (id == DISPID_UNKNOWN) {
    ++failures_.unknown;
    std::vector<std::string>& names = failures_.unknownNames;
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    return errNA;
  }
  // Held for the call: a nested call may let go of the sheet's reference.
  Microsoft::WRL::ComPtr<IDispatch> global = globalObject_;
  if (argumentCount < 0) argumentCount = 0;
  if (argumentCount > maxScriptArguments) return errValue;

  // A script may evaluate formulas of this sheet while it runs, calling in
  // again; such a nested call gets an area of its own instead of
  // overwriting (or moving) the arguments of the call still under way.
  std::vector<VARIANT> nestedSlots;
  std::vector<VARIANT>& slots = busy_ ? nestedSlots : slots_;
  if (slots.size() < static_cast<std::size_t>(argumentCount)) slots.resize(argumentCount);  // zeroed: VT_EMPTY
  TFlagRestorer busy(busy_, true);
  TSlotsClearer clearer(slots.data(), argumentCount);
  TScriptArguments arguments(slots.data(), argumentCount);
  if (!fillArguments(arguments)) return errValue;

  DISPPARAMS parameters{};
  parameters.rgvarg = argumentCount > 0 ? slots.data() : nullptr;
  parameters.cArgs = static_cast<UINT>(argumentCount);
  TOleVariant returned;
  // Asked for the error's text, which tells the user what a macro raised.
  TOleExceptionInfo exception;
  HRESULT outcome =
      global->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &parameters, returned.get(), exception.get(), nullptr);
  if (outcome == DISP_E_MEMBERNOTFOUND) memberIds_.erase(name);
  // The script's own failure (the engine has reported it to its site) or a
  // call the user stopped, told apart from a function that gives no value.
  if (outcome == E_ABORT) {
    ++failures_.stopped;
    return errScript;
  }
  if (outcome == static_cast<HRESULT>(SCRIPT_E_REPORTED) || outcome == DISP_E_EXCEPTION) {
    ++failures_.raised;
    exception.fillIn();
    noteRaised(name, exception.get()->bstrDescription);
    return errScript;
  }
  if (outcome != S_OK) return errNA;
  return variantToValue(*returned, result) ? stateValid : errValue;
}

void TMacroCallout::noteRaised(const std::string& name, const BSTR error) {
  std::vector<TRaisedMacro>& macros = failures_.raisedMacros;
  auto known = std::find_if(macros.begin(), macros.end(), [&](const TRaisedMacro& macro) { return macro.name == name; });
  if (known == macros.end()) known = macros.insert(macros.end(), {name, wideToAnsi(error, SysStringLen(error)), 0});
  ++known->calls;
}
