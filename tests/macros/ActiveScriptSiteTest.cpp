#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "macros/ActiveScriptSite.h"
#include "tests/support/TestScriptEngine.h"

namespace {

class TRecordedEvents : public TScriptSiteEvents {
 public:
  std::vector<std::string> messages;
  void showEngineState(const std::string&) override {}
  void showEngineMessage(const std::string& text) override { messages.push_back(text); }
  void markScriptError(int, int) override {}
  HWND siteWindow() override { return nullptr; }
  void enableModeless(bool) override {}
};

}  // namespace

TEST(ActiveScriptSiteFactory, MakesSitesOnlyForTheProgramThroughItsOwnFactory) {
  initializeComForTests();
  TActiveScriptSiteFactory& factory = TActiveScriptSiteFactory::instance();
  EXPECT_EQ(&factory, &TActiveScriptSiteFactory::instance());
  EXPECT_STREQ("ActiveScript Host", factory.className());
  EXPECT_EQ(IID_IActiveScriptSite, factory.classId());
  EXPECT_STREQ("", factory.description());
  EXPECT_EQ(TActiveScriptSiteFactory::TInstancing::internal, factory.instancing());
  EXPECT_EQ(TActiveScriptSiteFactory::TThreadingModel::single, factory.threadingModel());

  // Internal: the system does not know the class.
  Microsoft::WRL::ComPtr<IActiveScriptSite> fromSystem;
  EXPECT_EQ(REGDB_E_CLASSNOTREG,
            CoCreateInstance(factory.classId(), nullptr, CLSCTX_ALL, IID_PPV_ARGS(&fromSystem)));

  Microsoft::WRL::ComPtr<IClassFactory> asFactory;
  ASSERT_EQ(S_OK, factory.QueryInterface(IID_PPV_ARGS(&asFactory)));
  Microsoft::WRL::ComPtr<IActiveScriptSiteWindow> window;
  ASSERT_EQ(S_OK, asFactory->CreateInstance(nullptr, IID_PPV_ARGS(&window)));
  Microsoft::WRL::ComPtr<IActiveScriptSite> site;
  EXPECT_EQ(S_OK, window.As(&site));
  Microsoft::WRL::ComPtr<IUnknown> outer = site;
  Microsoft::WRL::ComPtr<IActiveScriptSite> aggregated;
  EXPECT_EQ(CLASS_E_NOAGGREGATION, asFactory->CreateInstance(outer.Get(), IID_PPV_ARGS(&aggregated)));
  Microsoft::WRL::ComPtr<IDispatch> unknown;
  EXPECT_EQ(E_NOINTERFACE, asFactory->CreateInstance(nullptr, IID_PPV_ARGS(&unknown)));
  // A site made without events answers and reports nothing.
  EXPECT_EQ(S_OK, site->OnEnterScript());
  EXPECT_EQ(S_OK, site->OnScriptError(nullptr));
}

// The engine enters, reports the error, then leaves: leaving must not wipe
// the error off the status bar with "Engine idle".
TEST(ActiveScriptSite, AnErrorStaysShownWhenTheEngineLeaves) {
  initializeComForTests();
  TRecordedEvents events;
  Microsoft::WRL::ComPtr<IActiveScriptSite> site = TActiveScriptSiteFactory::instance().createSite(&events);
  ASSERT_TRUE(site);
  CLSID classId;
  ASSERT_EQ(S_OK, CLSIDFromProgID(L"JScript", &classId));
  Microsoft::WRL::ComPtr<IActiveScript> engine;
  ASSERT_EQ(S_OK, CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&engine)));
  Microsoft::WRL::ComPtr<IActiveScriptParse> parser;
  ASSERT_EQ(S_OK, engine.As(&parser));
  ASSERT_EQ(S_OK, engine->SetScriptSite(site.Get()));
  ASSERT_EQ(S_OK, parser->InitNew());
  ASSERT_EQ(S_OK, engine->SetScriptState(SCRIPTSTATE_CONNECTED));
  EXCEPINFO exception{};
  EXPECT_EQ(S_OK, parser->ParseScriptText(L"var fine = 1;", nullptr, nullptr, nullptr, 0, 0, 0, nullptr, &exception));
  ASSERT_FALSE(events.messages.empty());
  EXPECT_EQ("Engine idle", events.messages.back());
  EXPECT_NE(S_OK, parser->ParseScriptText(L"throw new Error('kept');", nullptr, nullptr, nullptr, 0, 0, 0, nullptr,
                                          &exception));
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  EXPECT_EQ("kept", events.messages.back());
  engine->Close();
}
