// The main of GoogleTest suites that use windows: the C library locale from the
// environment, a Qt application (offscreen unless QT_QPA_PLATFORM says otherwise)
// with Qt's own texts in the user's language and no settings kept.
#include <QApplication>
#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>

#include "ui/internal/Startup.h"
#include "ui/internal/Translations.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ui_internal::InstallQtTranslations();
    ui_internal::KeepNoSettings();
    return RUN_ALL_TESTS();
}
