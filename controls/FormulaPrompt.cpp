#include "controls/FormulaPrompt.h"

#include "platform/Dialogs.h"
#include "sheet/CellStates.h"
#include "sheet/Sheet.h"

bool keepTypedFormula(TMessageBox& messages, HWND owner, const std::string& caption, TSheet& sheet,
                      const std::string& formula) {
  const std::size_t start = formula.find_first_not_of(" =");
  std::uint8_t status = stateValid;
  // Checked on its own, at no place of the sheet.
  sheet.compileCellFormula('=' + (start == std::string::npos ? std::string() : formula.substr(start)), status, 0, 0);
  if (status == stateValid) return true;
  const std::string message =
      "The formula is not valid (" + std::string(cellStateText(status)) + "):\r\r" + formula + "\r\rKeep it anyway?";
  return messages.show(owner, message, caption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}
