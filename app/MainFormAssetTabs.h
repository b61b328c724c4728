#pragma once
#include <string>

class TdataForm;
class TassetForm;
class TmainForm;
class TquoteForm;
class TtransactionForm;

// The windows of the current portfolio's assets and transactions on their
// tabs of the main window, handed the shared table, pickers, images and
// menus, and left empty until their tabs are entered.
TassetForm& createAssetsTab(TmainForm& mainForm, const std::string& caption);
TquoteForm& createQuotesTab(TmainForm& mainForm, const std::string& caption);
TtransactionForm& createTransactionsTab(TmainForm& mainForm, const std::string& caption);
// What every data window is handed by the main window.
void wireDataForm(TmainForm& mainForm, TdataForm& form);
