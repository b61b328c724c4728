#pragma once
#include <functional>
#include <memory>

#include <windows.h>

#include "controls/PickDialogLayout.h"

class TForm;
struct TFormOptions;
struct TListViewOptions;
class TImageList;
class TListView;

// The window side of the pick dialogs' layouts and pictures.

// A fixed-size tool window kept above the owner, as every pick dialog is.
TFormOptions pickDialogOptions(const char* caption, int clientWidth, int clientHeight, HWND owner);
// A read-only list whose rows are picked whole.
TListViewOptions pickListOptions(bool multiSelect, bool checkBoxes);
// Enter asks the dialog to accept, Esc cancels it; other keys pass on.
void pickDialogKeyDown(TForm& form, WORD& key, const std::function<void()>& accept);

// The form's place and size, the column widths of the list and the width
// of a list panel (0 when the dialog has none).
TPickDialogLayout currentPickDialogLayout(const TForm& form, const TListView& columns, int listWidth);
// Places the form as the layout says, kept whole on the screen's work area
// and no smaller than a usable size, and sets the column widths.
void applyPickDialogLayout(TForm& form, TListView& columns, const TPickDialogLayout& layout);
// Centres the form on the screen.
void centreOnScreen(TForm& form);

// The state images of the download lists: 0 a list, 1 the chosen list,
// 5 an item, 6 an item with remarks (2 to 4 are empty).
std::unique_ptr<TImageList> makePickStateImages();
