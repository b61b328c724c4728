#pragma once

// Font style bits, shared by the stored font descriptions of the model and
// the real fonts of the windows.
enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
