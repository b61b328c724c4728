#pragma once
#include <windows.h>

#include <memory>
#include <string>

class TEditorStatus;
class TMessageBox;

// Saving a text the user edited whole over its file, when another program
// may have changed the file since the editor read it: what that program
// wrote is never replaced without a word.

enum class TDocumentSave { saved, failed, keptUnsaved };

// Saves the document into its file. A file that holds neither what the
// document read from it nor the document's text is asked about, naming it:
// Try Again looks at the file again (saving once the change is undone),
// Continue writes over it, Cancel (the default) keeps the text unsaved. A
// text kept so is not asked about again until it changes or a close begins.
TDocumentSave saveDocumentAsking(TEditorStatus& document, bool lfOnly, TMessageBox& messages, HWND owner);

// A close begins: it asks about every text kept unsaved once more.
void askAgainAboutKeptTexts();

// True once after the user kept a text unsaved rather than write over a
// changed file: a close that asked stops there without another question.
bool takeDocumentKeptUnsaved();

// Holds the document's text for the close, where its editor may be gone
// (see holdUnsavedChange; what names the change): a file changed since it
// was read (see TEditorStatus::fileDigest) is refused there, and why is
// reported, not asked about.
void holdDocument(const TEditorStatus& document, const std::string& what);

// An editor leaves a modified document for another file: while its held
// change waits (see holdDocument), the document is given back, as the user
// left it, when an editor comes to its file again.
void keepDocument(std::unique_ptr<TEditorStatus> document);
// The document kept for the file, or none: its editor shows it instead of
// reading the file.
std::unique_ptr<TEditorStatus> takeKeptDocument(const std::string& fileName, const std::string& what);
// A file renamed (a macro package's) takes along the document kept for it,
// as its held change goes with it.
void moveKeptDocument(const std::string& from, const std::string& to);
