#include "controls/PickDialogPlacement.h"

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Form.h"
#include "platform/ImageList.h"
#include "platform/ListView.h"
#include "platform/ScreenFit.h"

namespace {

// Small enough for a list and the OK button to stay reachable.
constexpr int minDialogWidth = 150;
constexpr int minDialogHeight = 120;

}  // namespace

TFormOptions pickDialogOptions(const char* caption, int clientWidth, int clientHeight, HWND owner) {
  TFormOptions options;
  options.caption = caption;
  options.clientWidth = clientWidth;
  options.clientHeight = clientHeight;
  options.minimizeBox = false;
  options.maximizeBox = false;
  options.stayOnTop = true;
  options.owner = owner;
  return options;
}

TListViewOptions pickListOptions(bool multiSelect, bool checkBoxes) {
  TListViewOptions options;
  options.multiSelect = multiSelect;
  options.checkBoxes = checkBoxes;
  options.rowSelect = true;
  options.readOnly = true;
  return options;
}

void pickDialogKeyDown(TForm& form, WORD& key, const std::function<void()>& accept) {
  if (key == VK_RETURN) {
    key = 0;
    accept();
  } else if (key == VK_ESCAPE) {
    key = 0;
    form.setModalResult(mrCancel);
  }
}

TPickDialogLayout currentPickDialogLayout(const TForm& form, const TListView& columns, int listWidth) {
  TPickDialogLayout layout{form.left(), form.top(), form.width(), form.height(), listWidth, {}};
  for (int column = 0; column < columns.columnCount(); ++column)
    layout.columnWidths.push_back(columns.columnWidth(column));
  return layout;
}

void applyPickDialogLayout(TForm& form, TListView& columns, const TPickDialogLayout& layout) {
  TPickDialogLayout fitted = layout;
  fitPickDialogLayout(fitted, screenWorkArea(), minDialogWidth, minDialogHeight);
  form.setBounds(fitted.left, fitted.top, fitted.width, fitted.height);
  for (int column = 0; column < columns.columnCount() && column < static_cast<int>(fitted.columnWidths.size());
       ++column) {
    if (fitted.columnWidths[static_cast<size_t>(column)] >= 0)
      columns.setColumnWidth(column, fitted.columnWidths[static_cast<size_t>(column)]);
  }
}

void centreOnScreen(TForm& form) {
  const RECT area = screenWorkArea();
  form.centerOn(area);
}

std::unique_ptr<TImageList> makePickStateImages() {
  constexpr int size = 16;
  constexpr int count = 7;
  constexpr TColor mask = 0xFF00FF;  // magenta: never part of the pictures
  constexpr TColor chosenGreen = 0x00C000;
  TBitmap strip(size * count, size);
  TCanvas& canvas = strip.canvas();
  canvas.fillRect({0, 0, size * count, size}, mask);
  auto folder = [&](int index, TColor fill) {
    const int x = index * size;
    canvas.setPen(clBlack);
    canvas.setBrush(fill);
    canvas.rectangle({x + 1, 4, x + 15, 14});
    canvas.rectangle({x + 1, 2, x + 7, 5});
  };
  auto page = [&](int index, bool withLines) {
    const int x = index * size;
    canvas.setPen(clBlack);
    canvas.setBrush(clWhite);
    canvas.rectangle({x + 3, 1, x + 13, 15});
    if (withLines) {
      for (int y = 4; y <= 11; y += 3) canvas.line(x + 5, y, x + 11, y);
    }
  };
  folder(0, clYellow);
  folder(1, chosenGreen);
  page(5, false);
  page(6, true);
  auto images = std::make_unique<TImageList>(size, size);
  images->add(strip, mask);
  return images;
}
