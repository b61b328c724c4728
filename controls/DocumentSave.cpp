#include "controls/DocumentSave.h"

#include <functional>
#include <optional>
#include <string_view>
#include <utility>

#include "controls/EditorStatus.h"
#include "model/LanguageStrings.h"
#include "model/UnreadableFiles.h"
#include "model/UnsavedChanges.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"

namespace {

// Set on the GUI thread by a Cancel, taken by the close that asked.
bool keptUnsaved = false;

// A file that cannot be read now is no sign of another program's text: the
// write itself then fails or goes through as it would have. A document that
// read no file read nothing: a file with text found at its save was written
// by another program.
bool changedSinceRead(const std::string& fileName, const std::string& text, std::optional<size_t> readDigest) {
  std::string bytes;
  if (!readFileBytes(fileName, bytes)) return false;
  const size_t expected = readDigest ? *readDigest : std::hash<std::string_view>{}(std::string_view());
  return std::hash<std::string_view>{}(bytes) != expected && bytes != text;
}

std::string changedFileQuestion(const std::string& fileName) {
  return fileName +
         " was changed by another program since it was read.\r\rTry Again: look at the file again; it is saved once "
         "that change is undone.\rContinue: write over it; what the other program wrote into it is lost.\rCancel: "
         "keep the text unsaved.";
}

}  // namespace

TDocumentSave saveDocumentAsking(TEditorStatus& document, bool lfOnly, TMessageBox& messages, HWND owner) {
  std::string text;
  document.getText(lfOnly, text);
  while (changedSinceRead(document.fileName, text, document.fileDigest())) {
    const int answer = messages.show(owner, changedFileQuestion(document.fileName), commonString(2),
                                     MB_CANCELTRYCONTINUE | MB_ICONWARNING | MB_DEFBUTTON3);
    if (answer == IDCONTINUE) break;
    if (answer != IDTRYAGAIN && answer != IDRETRY) {
      keptUnsaved = true;
      return TDocumentSave::keptUnsaved;
    }
  }
  return document.saveToFile(document.fileName, lfOnly) ? TDocumentSave::saved : TDocumentSave::failed;
}

bool takeDocumentKeptUnsaved() { return std::exchange(keptUnsaved, false); }

void holdDocument(const TEditorStatus& document, const std::string& what) {
  std::string text;
  document.getText(false, text);
  holdUnsavedChange(document.fileName, what,
                    [text, readDigest = document.fileDigest()](const std::string& fileName) {
                      if (changedSinceRead(fileName, text, readDigest)) {
                        reportRefusedSave(fileName, "was changed by another program since it was read");
                        return false;
                      }
                      forgetRefusedSave(fileName);
                      return writeFileAtomically(fileName, text);
                    });
}
