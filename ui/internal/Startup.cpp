#include "ui/internal/Startup.h"

#include <QSettings>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace ui_internal {

namespace {

bool IsSet(const char* pszName) {
    const char* pszValue = std::getenv(pszName);
    return pszValue && *pszValue;
}

std::string g_strProgram = "korvanto";
QtMessageHandler g_previousHandler = nullptr;
bool g_bStarting = false;

void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (g_previousHandler)
        g_previousHandler(type, context, message);
    else if (type != QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    if (type != QtFatalMsg || !g_bStarting)
        return;
    // Named: what Qt was asked to use.
    std::string what;
    for (const char* pszName : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        if (!IsSet(pszName))
            continue;
        what += what.empty() ? "" : ", ";
        what += std::string(pszName) + "=" + std::getenv(pszName);
    }
    std::fprintf(stderr, "%s: Keine Verbindung zur Anzeige (%s).\n", g_strProgram.c_str(),
                 what.c_str());
    std::fflush(stderr);
    std::_Exit(1);
}

std::string ProgramName(const char* pszProgram) {
    std::string name = pszProgram && *pszProgram ? pszProgram : "korvanto";
    std::size_t slash = name.rfind('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

} // namespace

bool DisplayGiven(const char* pszProgram) {
    if (IsSet("QT_QPA_PLATFORM") || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY"))
        return true;
    std::fprintf(stderr,
                 "%s: Keine Anzeige gefunden: weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt.\n",
                 ProgramName(pszProgram).c_str());
    std::fflush(stderr);
    return false;
}

void EndQuietlyWithoutDisplay(const char* pszProgram) {
    g_strProgram = ProgramName(pszProgram);
    g_previousHandler = qInstallMessageHandler(OnQtMessage);
    g_bStarting = true;
}

void PlatformStarted() {
    g_bStarting = false;
}

void KeepNoSettings() {
    // A folder that cannot exist: Qt's settings files are neither read nor written.
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        for (QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, QStringLiteral("/dev/null"));
}

} // namespace ui_internal
