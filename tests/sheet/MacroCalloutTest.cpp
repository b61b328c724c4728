#include "sheet/MacroCallout.h"

#include <gtest/gtest.h>

#include <memory>
#include <variant>

#include <psapi.h>

#include "sheet/CellStates.h"
#include "sheet/Sheet.h"
#include "sheet/ValueArray.h"
#include "tests/sheet/SheetTestSupport.h"
#include "tests/support/TestScriptEngine.h"

namespace {

TValueRecord integerValue(std::int32_t integer) {
  TValueRecord value;
  value.kind = valueInteger;
  value.integer = integer;
  return value;
}

TValueRecord numberValue(double number) {
  TValueRecord value;
  value.kind = valueNumber;
  value.number = number;
  return value;
}

TValueRecord stringValue(const std::string& text) {
  TValueRecord value;
  value.kind = valueString;
  value.string = text;
  return value;
}

using TArgument = std::variant<TValueRecord, const TArray*>;

std::uint8_t call(TMacroCallout& callout, const std::string& name, const std::vector<TArgument>& arguments,
                  TScriptValue& result) {
  return callout.callFunction(
      name, static_cast<std::int32_t>(arguments.size()),
      [&](TScriptArguments& slots) {
        for (std::size_t i = 0; i < arguments.size(); ++i) {
          if (const TValueRecord* value = std::get_if<TValueRecord>(&arguments[i]))
            slots.setValue(static_cast<std::int32_t>(i), *value);
          else if (!slots.setArray(static_cast<std::int32_t>(i), std::get<const TArray*>(arguments[i])))
            return false;
        }
        return true;
      },
      result);
}

TArray grid(std::int32_t rows, std::int32_t columns) {
  TArray array;
  array.setSize2D(rows, columns);
  for (std::int32_t r = 0; r < rows; ++r)
    for (std::int32_t c = 0; c < columns; ++c) array.at(r, c) = integerValue((r + 1) * 10 + c + 1);
  return array;
}

const wchar_t* const vbScript = LR"(
Function Kinds(a, b, c)
  Kinds = TypeName(a) & "," & TypeName(b) & "," & TypeName(c) & ":" & a & "|" & b & "|" & c
End Function
Function Twice(x)
  Twice = x * 2
End Function
Function Yes()
  Yes = True
End Function
Function NoValue()
End Function
Function NullValue()
  NullValue = Null
End Function
Function Fails(x)
  Err.Raise 5
End Function
Function Dims(a)
  Dim text
  text = TypeName(a) & " " & UBound(a, 1)
  On Error Resume Next
  text = text & " " & UBound(a, 2)
  Dims = text
End Function
Function Item2(a, i, j)
  Item2 = a(i, j)
End Function
Function Item1(a, i)
  Item1 = a(i)
End Function
Function Row3()
  Row3 = Array(1, "two", 3.5)
End Function
Function Grid23()
  Dim g(1, 2)
  g(0, 0) = 11: g(0, 1) = 12: g(0, 2) = 13
  g(1, 0) = 21: g(1, 1) = 22: g(1, 2) = 23
  Grid23 = g
End Function
Function Mixed()
  Mixed = Array(CByte(7), CInt(-3), CCur(1.25), CDate(2), Null, Array(1), False)
End Function
Function Echo(a)
  Echo = a
End Function
)";

const wchar_t* const jScript = LR"(
function twice(x) { return x * 2; }
function kinds(a, b, c) { return typeof a + "," + typeof b + "," + typeof c + ":" + a + "|" + b + "|" + c; }
function joined(s) { return s + "!"; }
function truth() { return true; }
function fails() { throw new Error("no"); }
function anObject() { return { a: 1 }; }
function notANumber() { return 0 / 0; }
function infinite() { return 1 / 0; }
function count() { return arguments.length; }
)";

class MacroCalloutTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    vb = new TTestScriptEngine(L"VBScript", vbScript);
    js = new TTestScriptEngine(L"JScript", jScript);
  }
  static void TearDownTestSuite() {
    delete vb;
    delete js;
  }
  static TTestScriptEngine* vb;
  static TTestScriptEngine* js;
  TScriptValue result;
};

TTestScriptEngine* MacroCalloutTest::vb = nullptr;
TTestScriptEngine* MacroCalloutTest::js = nullptr;

TEST_F(MacroCalloutTest, WithoutEngineTheNameIsUnknown) {
  TMacroCallout callout;
  bool filled = false;
  EXPECT_EQ(errName, callout.callFunction("Twice", 1, [&](TScriptArguments&) { return filled = true; }, result));
  EXPECT_FALSE(filled);  // arguments are not even looked at
}

TEST_F(MacroCalloutTest, ScalarsCrossInFormulaOrder) {
  TMacroCallout callout;
  callout.setScriptEngine(vb->get());
  ASSERT_EQ(0, call(callout, "Kinds", {integerValue(1), numberValue(2.5), stringValue("abc")}, result));
  ASSERT_EQ(valueString, result.value.kind);
  // The decimal point of the number follows the system locale of the engine.
  EXPECT_EQ(0u, result.value.string.find("Long,Double,String:1|2"));
  EXPECT_EQ("abc", result.value.string.substr(result.value.string.size() - 3));

  callout.setScriptEngine(js->get());
  ASSERT_EQ(0, call(callout, "kinds", {integerValue(1), numberValue(2.5), stringValue("abc")}, result));
  EXPECT_EQ("number,number,string:1|2.5|abc", result.value.string);
  ASSERT_EQ(0, call(callout, "joined", {stringValue(std::string("a\0b\xe9", 4))}, result));
  EXPECT_EQ(std::string("a\0b\xe9!", 5), result.value.string);  // embedded zero and ANSI letters survive
}

TEST_F(MacroCalloutTest, ResultKinds) {
  TMacroCallout callout;
  callout.setScriptEngine(vb->get());
  ASSERT_EQ(0, call(callout, "Twice", {integerValue(21)}, result));
  EXPECT_EQ(valueInteger, result.value.kind);
  EXPECT_EQ(42, result.value.integer);
  ASSERT_EQ(0, call(callout, "Twice", {numberValue(1.25)}, result));
  EXPECT_EQ(valueNumber, result.value.kind);
  EXPECT_DOUBLE_EQ(2.5, result.value.number);
  ASSERT_EQ(0, call(callout, "Yes", {}, result));
  EXPECT_EQ(valueInteger, result.value.kind);
  EXPECT_EQ(-1, result.value.integer);
  for (const char* name : {"NoValue", "NullValue"}) {
    ASSERT_EQ(0, call(callout, name, {}, result)) << name;
    EXPECT_EQ(valueEmpty, result.value.kind) << name;
  }

  callout.setScriptEngine(js->get());
  ASSERT_EQ(0, call(callout, "truth", {}, result));
  EXPECT_EQ(-1, result.value.integer);
  for (const char* name : {"anObject", "notANumber", "infinite"}) {
    ASSERT_EQ(0, call(callout, name, {}, result)) << name;
    EXPECT_EQ(valueEmpty, result.value.kind) << name;
  }
  // Names are the script's own: JScript tells case.
  EXPECT_EQ(errNA, call(callout, "Twice", {integerValue(1)}, result));
}

TEST_F(MacroCalloutTest, MissingAndRaisingFunctionsAreNotAvailable) {
  TMacroCallout callout;
  callout.setScriptEngine(vb->get());
  EXPECT_EQ(errNA, call(callout, "NoSuchFunction", {}, result));
  EXPECT_EQ(errScript, call(callout, "Fails", {integerValue(1)}, result));
  // The engine stays usable after a script error.
  EXPECT_EQ(0, call(callout, "Twice", {integerValue(2)}, result));
  callout.setScriptEngine(js->get());
  EXPECT_EQ(errScript, call(callout, "fails", {}, result));
  EXPECT_EQ(0, call(callout, "twice", {integerValue(2)}, result));
  // The raised errors and the unknown name, each on its own.
  EXPECT_EQ(callout.failures().raised, 2u);
  EXPECT_EQ(callout.failures().unknown, 1u);
  EXPECT_EQ(callout.failures().stopped, 0u);
}

TEST_F(MacroCalloutTest, ArraysGoInWithTheirShape) {
  TMacroCallout callout;
  callout.setScriptEngine(vb->get());
  TArray twoByThree = grid(2, 3);
  ASSERT_EQ(0, call(callout, "Dims", {&twoByThree}, result));
  EXPECT_EQ("Variant() 1 2", result.value.string);
  ASSERT_EQ(0, call(callout, "Item2", {&twoByThree, integerValue(1), integerValue(2)}, result));
  EXPECT_EQ(23, result.value.integer);
  ASSERT_EQ(0, call(callout, "Item2", {&twoByThree, integerValue(0), integerValue(1)}, result));
  EXPECT_EQ(12, result.value.integer);

  // One row goes as a one-dimensional array of its columns.
  TArray row = grid(1, 3);
  row.at(0, 1) = stringValue("x");
  row.at(0, 2).clear();
  ASSERT_EQ(0, call(callout, "Dims", {&row}, result));
  EXPECT_EQ("Variant() 2", result.value.string);
  ASSERT_EQ(0, call(callout, "Item1", {&row, integerValue(1)}, result));
  EXPECT_EQ("x", result.value.string);
  ASSERT_EQ(0, call(callout, "Item1", {&row, integerValue(2)}, result));
  EXPECT_EQ(valueEmpty, result.value.kind);

  // A column stays two-dimensional.
  TArray column = grid(3, 1);
  ASSERT_EQ(0, call(callout, "Dims", {&column}, result));
  EXPECT_EQ("Variant() 2 0", result.value.string);

  // No array at all is an empty argument.
  ASSERT_EQ(0, call(callout, "Kinds", {static_cast<const TArray*>(nullptr), integerValue(1), integerValue(2)}, result));
  EXPECT_EQ(0u, result.value.string.find("Empty,"));
}

TEST_F(MacroCalloutTest, ArraysComeBackWithTheirShape) {
  TMacroCallout callout;
  callout.setScriptEngine(vb->get());
  ASSERT_EQ(0, call(callout, "Row3", {}, result));
  ASSERT_EQ(valueOwnedArray, result.value.kind);
  ASSERT_TRUE(result.array);
  EXPECT_EQ((std::vector<std::int32_t>{3, 1}), result.array->dimensions());
  EXPECT_EQ(1, result.array->at(0, 0).integer);
  EXPECT_EQ("two", result.array->at(1, 0).string);
  EXPECT_DOUBLE_EQ(3.5, result.array->at(2, 0).number);

  ASSERT_EQ(0, call(callout, "Grid23", {}, result));
  ASSERT_EQ((std::vector<std::int32_t>{2, 3}), result.array->dimensions());
  EXPECT_EQ(13, result.array->at(0, 2).integer);
  EXPECT_EQ(21, result.array->at(1, 0).integer);

  ASSERT_EQ(0, call(callout, "Mixed", {}, result));
  const std::vector<TValueRecord>& mixed = result.array->elements();
  ASSERT_EQ(7u, mixed.size());
  EXPECT_EQ(valueInteger, mixed[0].kind);
  EXPECT_EQ(7, mixed[0].integer);
  EXPECT_EQ(-3, mixed[1].integer);
  EXPECT_EQ(valueNumber, mixed[2].kind);
  EXPECT_DOUBLE_EQ(1.25, mixed[2].number);
  EXPECT_DOUBLE_EQ(2.0, mixed[3].number);  // a date is its day number
  EXPECT_EQ(valueEmpty, mixed[4].kind);    // Null
  EXPECT_EQ(valueEmpty, mixed[5].kind);    // an array inside an array
  EXPECT_EQ(valueInteger, mixed[6].kind);
  EXPECT_EQ(0, mixed[6].integer);

  // There and back: a grid keeps every element in place.
  TArray threeByTwo = grid(3, 2);
  ASSERT_EQ(0, call(callout, "Echo", {&threeByTwo}, result));
  ASSERT_EQ(threeByTwo.dimensions(), result.array->dimensions());
  for (std::int32_t r = 0; r < 3; ++r)
    for (std::int32_t c = 0; c < 2; ++c) EXPECT_EQ(threeByTwo.at(r, c).integer, result.array->at(r, c).integer);
}

TEST_F(MacroCalloutTest, OversizedCallsAreRefusedBeforeInvoking) {
  TMacroCallout callout;
  callout.setScriptEngine(js->get());
  std::int32_t seen = -1;
  auto countAll = [&](TScriptArguments& slots) {
    seen = slots.count();
    for (std::int32_t i = 0; i < slots.count(); ++i) slots.setValue(i, integerValue(i));
    return true;
  };
  ASSERT_EQ(0, callout.callFunction("count", maxScriptArguments, countAll, result));
  EXPECT_EQ(maxScriptArguments, result.value.integer);
  seen = -1;
  EXPECT_EQ(errValue, callout.callFunction("count", maxScriptArguments + 1, countAll, result));
  EXPECT_EQ(-1, seen);

  TArray huge;
  huge.setSize2D(maxScriptArrayElements / 2 + 1, 2);
  EXPECT_EQ(errValue, call(callout, "count", {&huge}, result));
  TArray largest;
  largest.setSize2D(maxScriptArrayElements / 2, 2);
  EXPECT_EQ(0, call(callout, "count", {&largest}, result));
}

TEST_F(MacroCalloutTest, ArgumentsAreClearedWhenFillingRaises) {
  TMacroCallout callout;
  callout.setScriptEngine(js->get());
  EXPECT_THROW(callout.callFunction(
                   "joined", 2,
                   [](TScriptArguments& slots) -> bool {
                     slots.setValue(0, stringValue("left behind?"));
                     throw std::runtime_error("circular");
                   },
                   result),
               std::runtime_error);
  // The next call with fewer arguments must not see the stale string.
  ASSERT_EQ(0, call(callout, "count", {}, result));
  EXPECT_EQ(0, result.value.integer);
}

TEST_F(MacroCalloutTest, NestedCallsKeepTheOuterArguments) {
  TMacroCallout callout;
  callout.setScriptEngine(js->get());
  TScriptValue inner;
  auto nestedCount = [&](TScriptArguments& slots) {
    slots.setValue(0, stringValue("outer text"));
    // As a script evaluating this sheet again would: more arguments than
    // the outer call has, so a shared area would have to move.
    EXPECT_EQ(0, callout.callFunction(
                     "count", 1000,
                     [](TScriptArguments& nested) {
                       for (std::int32_t i = 0; i < nested.count(); ++i) nested.setValue(i, stringValue("inner"));
                       return true;
                     },
                     inner));
    slots.setValue(1, integerValue(2));
    slots.setValue(2, integerValue(3));
    return true;
  };
  ASSERT_EQ(0, callout.callFunction("kinds", 3, nestedCount, result));
  EXPECT_EQ("string,number,number:outer text|2|3", result.value.string);
  EXPECT_EQ(1000, inner.value.integer);
}

TEST_F(MacroCalloutTest, ClosedOrResetEngineGivesNameError) {
  TMacroCallout callout;
  {
    TTestScriptEngine engine(L"JScript", L"function one() { return 1; }");
    callout.setScriptEngine(engine.get());
    ASSERT_EQ(0, call(callout, "one", {}, result));
    engine.close();
    EXPECT_EQ(errName, call(callout, "one", {}, result));
  }
  // The sheet still holds the engine after its owner has gone.
  EXPECT_EQ(errName, call(callout, "one", {}, result));

  TTestScriptEngine engine(L"VBScript", L"Function One()\nOne = 1\nEnd Function\n");
  callout.setScriptEngine(engine.get());
  ASSERT_EQ(0, call(callout, "One", {}, result));
  ASSERT_EQ(S_OK, engine.get()->SetScriptState(SCRIPTSTATE_UNINITIALIZED));
  EXPECT_EQ(errName, call(callout, "One", {}, result));
}

TEST_F(MacroCalloutTest, AnotherEngineIsAskedAfresh) {
  TTestScriptEngine first(L"JScript", L"function f() { return 1; } function g() { return 7; }");
  TTestScriptEngine second(L"JScript", L"function g() { return 2; } function f() { return 3; }");
  TMacroCallout callout;
  callout.setScriptEngine(first.get());
  ASSERT_EQ(0, call(callout, "f", {}, result));
  EXPECT_EQ(1, result.value.integer);
  callout.setScriptEngine(second.get());
  ASSERT_EQ(0, call(callout, "f", {}, result));
  EXPECT_EQ(3, result.value.integer);
  callout.setScriptEngine(nullptr);
  EXPECT_EQ(errName, call(callout, "f", {}, result));
}

// Forwards to a real engine, counting the name look-ups and able to hand
// out a fresh global object, as an engine whose macros were reloaded does.
class TCountingDispatch : public IDispatch {
 public:
  explicit TCountingDispatch(IDispatch* inner) : inner_(inner) {}
  int lookups = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
    ++lookups;
    return inner_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override {
    return inner_->Invoke(id, iid, locale, flags, parameters, result, exception, argumentError);
  }

 private:
  Microsoft::WRL::ComPtr<IDispatch> inner_;
  ULONG references_ = 1;
};

class TCountingEngine : public IActiveScript {
 public:
  explicit TCountingEngine(IActiveScript* inner) : inner_(inner) { renewGlobalObject(); }
  TCountingDispatch& global() { return *globals_.back(); }
  void renewGlobalObject() {
    Microsoft::WRL::ComPtr<IDispatch> real;
    inner_->GetScriptDispatch(nullptr, &real);
    globals_.push_back(std::make_unique<TCountingDispatch>(real.Get()));
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IActiveScript) {
      *object = static_cast<IActiveScript*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }
  HRESULT STDMETHODCALLTYPE SetScriptSite(IActiveScriptSite*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetScriptSite(REFIID, void**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetScriptState(SCRIPTSTATE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetScriptState(SCRIPTSTATE* state) override { return inner_->GetScriptState(state); }
  HRESULT STDMETHODCALLTYPE Close() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AddNamedItem(LPCOLESTR, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AddTypeLib(REFGUID, DWORD, DWORD, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetScriptDispatch(LPCOLESTR, IDispatch** dispatch) override {
    *dispatch = &global();
    global().AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetCurrentScriptThreadID(SCRIPTTHREADID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetScriptThreadID(DWORD, SCRIPTTHREADID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetScriptThreadState(SCRIPTTHREADID, SCRIPTTHREADSTATE*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InterruptScriptThread(SCRIPTTHREADID, const EXCEPINFO*, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Clone(IActiveScript**) override { return E_NOTIMPL; }

 private:
  Microsoft::WRL::ComPtr<IActiveScript> inner_;
  std::vector<std::unique_ptr<TCountingDispatch>> globals_;
  ULONG references_ = 1;
};

TEST_F(MacroCalloutTest, NamesAreLookedUpOncePerEngine) {
  TCountingEngine engine(js->get());
  TMacroCallout callout;
  callout.setScriptEngine(&engine);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(0, call(callout, "twice", {integerValue(i)}, result));
  ASSERT_EQ(0, call(callout, "truth", {}, result));
  EXPECT_EQ(2, engine.global().lookups);
  // Unknown names are asked again: the script may define them later.
  call(callout, "later", {}, result);
  call(callout, "later", {}, result);
  EXPECT_EQ(4, engine.global().lookups);

  // Handing the engine over again (macros reloaded) forgets the ids.
  callout.setScriptEngine(&engine);
  ASSERT_EQ(0, call(callout, "twice", {integerValue(1)}, result));
  EXPECT_EQ(5, engine.global().lookups);
  // So does a new global object.
  engine.renewGlobalObject();
  ASSERT_EQ(0, call(callout, "twice", {integerValue(1)}, result));
  ASSERT_EQ(0, call(callout, "twice", {integerValue(1)}, result));
  EXPECT_EQ(1, engine.global().lookups);
}

// The process's committed private memory (Wine fills this field, not
// PrivateUsage).
std::size_t privateBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PagefileUsage;
}

TEST_F(MacroCalloutTest, RepeatedCallsDoNotLeak) {
  TMacroCallout callout;
  callout.setScriptEngine(vb->get());
  TArray row = grid(1, 8);
  for (TValueRecord& element : row.elements()) element = stringValue(std::string(100, 'x'));
  auto run = [&](int calls) {
    for (int i = 0; i < calls; ++i) {
      ASSERT_EQ(0, call(callout, "Echo", {&row}, result));
      ASSERT_EQ(0, call(callout, "Kinds", {stringValue("some text"), numberValue(i), stringValue("more")}, result));
    }
  };
  run(20000);  // warms the allocators and the engine's own caches
  std::size_t before = privateBytes();
  run(200000);
  // Each leaked round trip would hold more than 2 KB of strings.
  EXPECT_LT(privateBytes(), before + 16 * 1024 * 1024);
}

}  // namespace

namespace {

// The call-out as formulas meet it: arguments from cells, ranges and
// constants, results spilled, the engine closed under the sheet.
TEST_F(MacroCalloutTest, FormulasCallTheEngineOfTheSheet) {
  TSheet sheet;
  sheet.setScriptEngine(vb->get(), false);
  enter(sheet, 1, 1, "1");
  enter(sheet, 2, 1, "abc", 2);
  enter(sheet, 3, 1, "3");
  EXPECT_EQ("Variant() 2", evaluated(sheet, "=Dims(A1:C1)"));  // one row: one dimension
  EXPECT_EQ("abc", evaluated(sheet, "=Item1(A1:C1,1)"));
  EXPECT_EQ("Variant() 1 0", evaluated(sheet, "=Dims(A1:A2)"));
  EXPECT_EQ("1", evaluated(sheet, "=Item1({5,TRUE,7},1)"));  // names inside constants are resolved
  EXPECT_EQ("-1", evaluated(sheet, "=Yes()"));
  EXPECT_EQ("#SCRIPT!", evaluated(sheet, "=Fails(1)"));  // raised: told apart from no value
  EXPECT_EQ("#N/A", evaluated(sheet, "=NoValue()"));

  sheet.expandVectorResults = true;
  enter(sheet, 5, 1, "=Row3()");
  EXPECT_EQ("1", shown(sheet, 5, 1));
  EXPECT_EQ("two", shown(sheet, 5, 2));
  EXPECT_EQ("3.5", shown(sheet, 5, 3));
}

TEST_F(MacroCalloutTest, FormulasSurviveTheEngineClosing) {
  auto engine = std::make_unique<TTestScriptEngine>(L"JScript", L"function twice(x) { return 2 * x; }");
  TSheet sheet;
  sheet.setScriptEngine(engine->get(), false);
  enter(sheet, 1, 1, "4");
  enter(sheet, 2, 1, "=twice(A1)");
  EXPECT_EQ("8", shown(sheet, 2, 1));
  engine.reset();  // the macros window closes and drops it
  enter(sheet, 1, 1, "5");
  EXPECT_EQ("#NAME?", shown(sheet, 2, 1));
  sheet.recalculateAll(false);
  EXPECT_EQ("#NAME?", shown(sheet, 2, 1));
}

}  // namespace
