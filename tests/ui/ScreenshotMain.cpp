// korvanto-screenshot NAME OUT.png: renders a dialog offscreen, in a plain frame with
// its caption (and a close box when it has one), to a PNG for the documentation.
// NAME is one of the entries of kDialogs below; add a dialog there.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

#include "app/CInfoDlg.h"
#include "kernel/CommandLine.h"
#include "panel/CKorvantoDlg.h"
#include "res/resource.h"
#include "ui/CDialog.h"
#include "ui/internal/Translations.h"
#include "ui/testing/QtAccess.h"

namespace {

struct DialogEntry {
    const char* pszName;
    std::function<std::unique_ptr<CDialog>()> make;
};

const DialogEntry kDialogs[] = {
    {"info", []() { return std::make_unique<CInfoDlg>(); }},
    // The panel as it starts without arguments.
    {"panel", []() { return std::make_unique<CKorvantoDlg>(); }},
    // The panel's template as it is created, before the panel's own initialisation.
    {"panel-template", []() { return std::make_unique<CDialog>(IDD_PANEL); }},
};

QImage Framed(QWidget* pWindow) {
    QImage client = pWindow->grab().toImage();
    const int border = 4;
    QFont titleFont = pWindow->font();
    titleFont.setBold(true);
    int titleHeight = QFontMetrics(titleFont).height() + 8;
    QImage image(client.width() + 2 * border, client.height() + titleHeight + border,
                 QImage::Format_RGB32);
    image.fill(QColor(0x40, 0x50, 0x70));
    QPainter p(&image);
    p.setFont(titleFont);
    p.setPen(Qt::white);
    QRect title(border + 4, 0, image.width() - 2 * border - 8, titleHeight);
    p.drawText(title, Qt::AlignLeft | Qt::AlignVCenter, pWindow->windowTitle());
    if (pWindow->windowFlags() & Qt::WindowCloseButtonHint)
        p.drawText(title, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("✕"));
    p.drawImage(border, titleHeight, client);
    return image;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: korvanto-screenshot NAME OUT.png\nNAME:");
        for (const DialogEntry& e : kDialogs)
            std::fprintf(stderr, " %s", e.pszName);
        std::fprintf(stderr, "\n");
        return 2;
    }
    std::setlocale(LC_ALL, "");
    // The dialogs see a program started without arguments, not this tool's own.
    char szProgram[] = "korvanto";
    char* programArgv[] = {szProgram, nullptr};
    KernelInitCommandLine(1, programArgv);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ui_internal::InstallQtTranslations();
    const DialogEntry* pEntry = nullptr;
    for (const DialogEntry& e : kDialogs) {
        if (std::strcmp(e.pszName, argv[1]) == 0)
            pEntry = &e;
    }
    if (!pEntry) {
        std::fprintf(stderr, "korvanto-screenshot: no dialog named %s\n", argv[1]);
        return 2;
    }
    std::unique_ptr<CDialog> pDialog = pEntry->make();
    bool bSaved = false;
    QString out = QString::fromLocal8Bit(argv[2]);
    QTimer::singleShot(0, [&]() {
        bSaved = Framed(WidgetFromHandle(pDialog->m_hWnd)).save(out, "PNG");
        pDialog->EndDialog(IDOK);
    });
    pDialog->DoModal();
    if (!bSaved) {
        std::fprintf(stderr, "korvanto-screenshot: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
