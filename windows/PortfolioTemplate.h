#pragma once
#include <string>

// The "Template" folder of the portfolios directory: its contents go into
// every new portfolio, and Make template rebuilds it from a portfolio's
// window and system files. Folders are given with their trailing "\".

// Copies the template's contents into a new portfolio's folder without ever
// deleting that folder: the template is first copied beside it and then
// moved in entry by entry, an entry whose name is taken failing. 0, also
// when there is no template; -4 on failure (the folder may then hold part
// of the template, and the caller removes the new portfolio).
int copyTemplateInto(const std::string& foliosDir, const std::string& folder);

// Builds "NewTemplate" from the portfolio's field, control and system files
// and its view folders, then puts it in place of "Template", keeping the
// previous template as "Template.BAK". 0, or -4 when a step fails; a
// failure before the last move leaves "Template" as it was, and a failed
// last move puts the previous template back.
int makeTemplate(const std::string& portfolioFolder, const std::string& foliosDir);

class TPortfolioTable;

// New: opens a new numbered portfolio under the portfolios directory and
// gives it the template's contents. When the template cannot be copied the
// new portfolio is taken out of the table first and then its folder is
// removed, so no open portfolio is left without its folder. 0 or the
// failure's code.
int addPortfolioFromTemplate(TPortfolioTable& table, const std::string& foliosDir);
