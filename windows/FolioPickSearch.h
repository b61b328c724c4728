#pragma once
#include <string>
#include <vector>

// The find command of the portfolio pick dialog over the rows' captions:
// the row that matches next from the selected one (-1 for none selected) in
// the direction asked, or -1 when none does. Down starts after the selected
// row (at the last row when it is the last, at the first when none is
// selected); up starts before it (at the first row at least).
int findFolioRow(const std::vector<std::string>& captions, int selected, const std::string& text, bool down,
                 bool matchCase);
