// korvanto-panel-screenshot OUT.png [ARGUMENT...]: starts the real control panel
// offscreen with the arguments as its command line, renders it once it is open (in a
// plain frame with its caption) to OUT.png and closes it.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "kernel/KernelTesting.h"
#include "panel/CKorvantoDlg.h"
#include "ui/testing/QtAccess.h"

namespace {

QImage Framed(QWidget* pWindow) {
    QImage client = pWindow->grab().toImage();
    const int border = 4;
    QFont titleFont = pWindow->font();
    titleFont.setBold(true);
    const int titleHeight = QFontMetrics(titleFont).height() + 8;
    QImage image(client.width() + 2 * border, client.height() + titleHeight + border,
                 QImage::Format_RGB32);
    image.fill(QColor(0x40, 0x50, 0x70));
    QPainter p(&image);
    p.setFont(titleFont);
    p.setPen(Qt::white);
    QRect title(border + 4, 0, image.width() - 2 * border - 8, titleHeight);
    p.drawText(title, Qt::AlignLeft | Qt::AlignVCenter, pWindow->windowTitle());
    p.drawText(title, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("✕"));
    p.drawImage(border, titleHeight, client);
    return image;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: korvanto-panel-screenshot OUT.png [ARGUMENT...]\n");
        return 2;
    }
    std::setlocale(LC_ALL, "");
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string cmdLine = "korvanto";
    for (int i = 2; i < argc; ++i)
        cmdLine += std::string(" ") + argv[i];
    KernelOverrideCommandLine(cmdLine.c_str());
    const QString out = QString::fromLocal8Bit(argv[1]);
    int nArgc = 1;
    QApplication app(nArgc, argv);

    CKorvantoDlg panel;
    AfxGetApp()->m_pMainWnd = &panel;
    bool bSaved = false;
    QTimer::singleShot(100, [&]() {
        bSaved = Framed(WidgetFromHandle(panel.m_hWnd)).save(out, "PNG");
        panel.EndDialog(IDCANCEL);
    });
    panel.DoModal();
    AfxGetApp()->m_pMainWnd = nullptr;
    if (!bSaved) {
        std::fprintf(stderr, "korvanto-panel-screenshot: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
