#pragma once
#include <windows.h>

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
// Continue writes over it, Cancel keeps the text unsaved.
TDocumentSave saveDocumentAsking(TEditorStatus& document, bool lfOnly, TMessageBox& messages, HWND owner);

// True once after the user kept a text unsaved rather than write over a
// changed file: a close that asked stops there without another question.
bool takeDocumentKeptUnsaved();

// Holds the document's text for the close, where its editor may be gone
// (see holdUnsavedChange; what names the change): a file changed since it
// was read (see TEditorStatus::fileDigest) is refused there, and why is
// reported, not asked about.
void holdDocument(const TEditorStatus& document, const std::string& what);
