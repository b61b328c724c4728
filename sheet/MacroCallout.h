#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include <windows.h>
#include <activscp.h>
#include <wrl/client.h>

#include "platform/FlagRestorer.h"
#include "sheet/ValueRecord.h"
#include "sheet/VariantConversion.h"

// The most arguments one call of a script function may pass.
constexpr std::int32_t maxScriptArguments = 65536;

// The arguments of one script call as they are filled: index 0 is the
// formula's first argument. Invoke wants them last first, so each lands in
// the slot counted from the end.
class TScriptArguments {
 public:
  TScriptArguments(VARIANT* slots, std::int32_t count) : slots_(slots), count_(count) {}

  std::int32_t count() const { return count_; }
  void setValue(std::int32_t index, const TValueRecord& value);
  // False when the array is too big to pass (the call gives "#VALUE!").
  bool setArray(std::int32_t index, const TArray* array);

 private:
  VARIANT& slot(std::int32_t index) { return slots_[count_ - 1 - index]; }

  VARIANT* slots_;
  std::int32_t count_;
};

// A macro function whose calls raised an error: the engine's text of the
// first one, and how many did.
struct TRaisedMacro {
  std::string name;
  std::string error;
  std::uint64_t calls = 0;
};

// The calls of one callout that gave "#SCRIPT!": those the user stopped
// (or that a stopped engine refused) and those in which the script raised
// an error; besides, the calls of names the engine does not define. A
// caller that needs every value whole (a trading-system run) reads them
// after its work, and one that tells the user which macro failed reads the
// names, each once, in the order first met.
struct TMacroCallFailures {
  std::uint64_t stopped = 0;
  std::uint64_t raised = 0;
  std::uint64_t unknown = 0;
  std::vector<TRaisedMacro> raisedMacros;
  std::vector<std::string> unknownNames;
};

// While one lives, the user has entered a cell anew: a macro function the
// user stopped before is called again (on this thread).
class TMacroRetry {
 public:
  TMacroRetry();
  TMacroRetry(const TMacroRetry&) = delete;
  TMacroRetry& operator=(const TMacroRetry&) = delete;
  static bool active();

 private:
  TFlagRestorer retrying_;
};

// Calls the global functions of the Active Scripting engine a sheet holds.
// The sheet owns one; it keeps a counted reference to the engine, so a sheet
// that outlives the macros window that closed the engine still calls safely
// (and gets "#NAME?").
//
// Member ids are looked up once per name and engine and kept until another
// engine is set, the engine hands out another global object, or it is seen
// closed or reset. Setting an engine again, even the same one after its
// macros were reloaded, forgets them.
class TMacroCallout {
 public:
  TMacroCallout();
  ~TMacroCallout();
  TMacroCallout(const TMacroCallout&) = delete;
  TMacroCallout& operator=(const TMacroCallout&) = delete;

  // nullptr removes the engine.
  void setScriptEngine(IActiveScript* engine);
  IActiveScript* scriptEngine() const { return engine_.Get(); }

  // Calls the function `name` with argumentCount arguments, which
  // fillArguments supplies once the function is known to exist (it returns
  // false when one of them cannot be passed). Returns the cell state: 0 with
  // the result set; 3 "#NAME?" without an engine or with one closed or reset;
  // 2 "#N/A" when the engine has no global object, does not know the name,
  // or the call fails; 15 "#SCRIPT!" when the script raises an error or the
  // call was stopped; 14 "#VALUE!" for more than
  // maxScriptArguments arguments, an argument that cannot be passed or an
  // array result too big to take. Every variant of the call is cleared
  // before it returns, also when fillArguments raises.
  std::uint8_t callFunction(const std::string& name, std::int32_t argumentCount,
                            const std::function<bool(TScriptArguments&)>& fillArguments, TScriptValue& result);
  const TMacroCallFailures& failures() const { return failures_; }

 private:
  bool engineUsable();
  // The member id of name in the current global object; DISPID_UNKNOWN when
  // the engine has none or does not know it.
  DISPID memberId(const std::string& name);
  void forgetMembers();
  void noteRaised(const std::string& name, const BSTR error);

  Microsoft::WRL::ComPtr<IActiveScript> engine_;
  // The global object the member ids belong to, held so its address cannot
  // be reused by another object while the ids are kept.
  Microsoft::WRL::ComPtr<IDispatch> globalObject_;
  std::unordered_map<std::string, DISPID> memberIds_;
  // The argument area, reused by every call; grown on demand.
  std::vector<VARIANT> slots_;
  bool busy_ = false;
  TMacroCallFailures failures_;
};
