// Qt's own texts (box buttons, the file dialog) in the user's language (inside the binding).
#pragma once

namespace ui_internal {

// Loads qtbase_<locale> from Qt's translations folder into the application; once.
void InstallQtTranslations();

} // namespace ui_internal
