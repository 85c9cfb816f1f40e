// The test seams as the binding reads them (inside the binding).
#pragma once

#include "ui/TestSeams.h"

namespace ui_internal {

// Copies, so that a seam may replace itself while it runs.
std::function<int(const BoxCall&)> CurrentBoxResponder();
std::function<BOOL(CString&)> CurrentFileDialogResponder();

} // namespace ui_internal
