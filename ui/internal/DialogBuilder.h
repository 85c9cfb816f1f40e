// Builds a dialog's window and controls from its template (inside the binding).
#pragma once

#include <QFont>
#include <QRect>

#include "res/DialogTemplate.h"
#include "ui/WinUser.h"

namespace ui_internal {

// The dialog base units of a font, as the platform defines them: the average width
// of "A".."Z" "a".."z" (rounded) and the font's height.
struct DialogBaseUnits {
    int cx;
    int cy;
};
DialogBaseUnits BaseUnitsOf(const QFont& font);

// a * b / c rounded to the nearest, halves away from zero.
int MulDiv(int a, int b, int c);

// A rectangle in dialog units in pixels: x and width in quarters of the base width,
// y and height in eighths of the base height.
QRect DialogUnitsToPixels(const DialogBaseUnits& units, int x, int y, int cx, int cy);

// The template's font; the desktop's sans-serif at the template's size when that
// font is not installed.
QFont DialogFontOf(const DialogTemplate& t);

// The window and its controls in template order (the tab order); positioned relative
// to the owner's window, or on the screen without one. Not yet shown.
HWND BuildDialog(const DialogTemplate& t, HWND hOwner);

} // namespace ui_internal
