// The model behind bound cells: portfolios, assets and transactions reached
// through the sheet's portfolio table. A sheet without a table finds no
// object.
#include "sheet/Sheet.h"

bool TSheet::readObjectProperty(std::uint8_t, std::int32_t, TValueRecord&) const { return false; }

bool TSheet::writeObjectProperty(std::uint8_t, std::int32_t, const TValueRecord&) { return false; }
