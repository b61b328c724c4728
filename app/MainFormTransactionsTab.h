#pragma once
#include <string>

class TmainForm;
class TtransactionForm;

// The Transactions window on its tab of the main window, handed the shared
// table, pickers, images and menus, and left empty until its tab is entered.
TtransactionForm& createTransactionsTab(TmainForm& mainForm, const std::string& caption);
