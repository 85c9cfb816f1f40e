// What the entry routine settles before and after it builds the Qt application
// (inside the binding).
#pragma once

namespace ui_internal {

// TRUE when Qt can find a display: a platform named in QT_QPA_PLATFORM, or DISPLAY or
// WAYLAND_DISPLAY set. Otherwise one German line on stderr names what is missing.
bool DisplayGiven(const char* pszProgram);

// A platform that cannot start (a display named but not reachable) ends the process
// with one German line on stderr and status 1, not with Qt's abort. Set before the Qt
// application is built; Qt's other messages take their usual way.
void EndQuietlyWithoutDisplay(const char* pszProgram);
// The Qt application is built: Qt's fatal messages take their usual way again.
void PlatformStarted();

// The program keeps no settings: what Qt's own widgets would store (the file dialog's
// folder history) goes nowhere.
void KeepNoSettings();

} // namespace ui_internal
