#pragma once

// Keys and buttons held during a mouse or key event; the sheet's navigation
// and the window framework read the same flags.
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = unsigned;
