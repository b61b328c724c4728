#include "controls/DocumentSave.h"

#include <functional>
#include <map>
#include <memory>
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

// The texts the user chose to keep unsaved, by file: one move away from an
// editor saves it more than once (the editor left, the next object shown),
// and the answer given to the first stands for the others.
std::map<std::string, size_t> keptTexts;

// Documents their editors left with a text their files did not take, by
// file: shown again when the editor comes back, so no read of the file hides
// the text and no later save of the file drops it.
std::map<std::string, std::unique_ptr<TEditorStatus>> keptDocuments;

size_t textDigest(const std::string& text) { return std::hash<std::string_view>{}(text); }

}  // namespace

TDocumentSave saveDocumentAsking(TEditorStatus& document, bool lfOnly, TMessageBox& messages, HWND owner) {
  std::string text;
  document.getText(lfOnly, text);
  while (changedSinceRead(document.fileName, text, document.fileDigest())) {
    const auto kept = keptTexts.find(document.fileName);
    if (kept != keptTexts.end() && kept->second == textDigest(text)) return TDocumentSave::keptUnsaved;
    // Continue loses the other program's text: the default keeps both.
    const int answer = messages.show(owner, changedFileQuestion(document.fileName), commonString(2),
                                     MB_CANCELTRYCONTINUE | MB_ICONWARNING | MB_DEFBUTTON1);
    if (answer == IDCONTINUE) break;
    if (answer != IDTRYAGAIN && answer != IDRETRY) {
      keptUnsaved = true;
      keptTexts[document.fileName] = textDigest(text);
      return TDocumentSave::keptUnsaved;
    }
  }
  keptTexts.erase(document.fileName);
  return document.saveToFile(document.fileName, lfOnly) ? TDocumentSave::saved : TDocumentSave::failed;
}

void askAgainAboutKeptTexts() { keptTexts.clear(); }

bool takeDocumentKeptUnsaved() { return std::exchange(keptUnsaved, false); }

void holdDocument(const TEditorStatus& document, const std::string& what) {
  std::string text;
  document.getText(false, text);
  holdUnsavedChange(document.fileName, what,
                    [text, readDigest = document.fileDigest()](const std::string& fileName) {
                      if (changedSinceRead(fileName, text, readDigest)) {
                        reportRefusedSave(fileName, "was changed by another program since it was read",
                                          TRefusal::changedElsewhere);
                        return false;
                      }
                      forgetRefusedSave(fileName);
                      return writeFileAtomically(fileName, text);
                    });
}

void keepDocument(std::unique_ptr<TEditorStatus> document) {
  if (document && document->modified && !document->fileName.empty())
    keptDocuments[document->fileName] = std::move(document);
}

std::unique_ptr<TEditorStatus> takeKeptDocument(const std::string& fileName, const std::string& what) {
  const auto kept = keptDocuments.find(fileName);
  if (kept == keptDocuments.end()) return nullptr;
  std::unique_ptr<TEditorStatus> document = std::move(kept->second);
  keptDocuments.erase(kept);
  // Its text went with the held change: saved at a close since, given up, or
  // let go with a file deleted or renamed. A file deleted since belonged to
  // an object the user removed, whose number another may take now.
  if (!holdsUnsavedChange(fileName, what) || !fileExists(fileName)) return nullptr;
  return document;
}

void moveKeptDocument(const std::string& from, const std::string& to) {
  const auto kept = keptDocuments.find(from);
  if (kept == keptDocuments.end()) return;
  std::unique_ptr<TEditorStatus> document = std::move(kept->second);
  keptDocuments.erase(kept);
  document->fileName = to;
  keptDocuments[to] = std::move(document);
}
