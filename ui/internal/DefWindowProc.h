// The platform's own handling of a message, by window kind (inside the binding).
#pragma once

#include "ui/internal/Window.h"

namespace ui_internal {

LRESULT DefaultWindowProc(Window& w, UINT message, WPARAM wParam, LPARAM lParam);

// Combines the window's big and small icons into its window icon.
void ApplyWindowIcon(Window& w);

} // namespace ui_internal
