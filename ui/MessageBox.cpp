// MessageBoxA: a real box, shown non-modal and run by its own loop.
#include <QAbstractButton>
#include <QMessageBox>

#include "ui/WinUser.h"
#include "ui/internal/Modal.h"
#include "ui/internal/Seams.h"
#include "ui/internal/Window.h"

using namespace ui_internal;

namespace {

QMessageBox::Icon IconFor(UINT uType) {
    switch (uType & MB_ICONMASK) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons ButtonsFor(UINT uType) {
    switch (uType & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_ABORTRETRYIGNORE:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case MB_YESNOCANCEL:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO:
        return QMessageBox::Yes | QMessageBox::No;
    case MB_RETRYCANCEL:
        return QMessageBox::Retry | QMessageBox::Cancel;
    default:
        return QMessageBox::Ok;
    }
}

int IdFor(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Abort:
        return IDABORT;
    case QMessageBox::Retry:
        return IDRETRY;
    case QMessageBox::Ignore:
        return IDIGNORE;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return IDCANCEL;
    }
}

} // namespace

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    HWND hOwner = TopLevelOf(hWnd);
    CString text(lpText);
    CString caption(lpCaption ? lpCaption : "Fehler");
    QMessageBox box(IconFor(uType), ToQString(caption), ToQString(text), ButtonsFor(uType));
    // The text is shown as it stands: no markup, whatever a file name holds.
    box.setTextFormat(Qt::PlainText);
    if ((uType & MB_TYPEMASK) == MB_OKCANCEL || (uType & MB_TYPEMASK) == MB_YESNOCANCEL ||
        (uType & MB_TYPEMASK) == MB_RETRYCANCEL)
        box.setEscapeButton(QMessageBox::Cancel);
    SetTransientOwner(&box, hOwner);
    box.adjustSize();
    CentreOver(&box, hOwner);
    ActivationKeeper activation;
    OwnerDisabler disabler(hOwner);

    int nResult = IDOK;
    auto responder = CurrentBoxResponder();
    std::function<void()> onOpen;
    if (responder) {
        onOpen = [&]() {
            nResult = responder(BoxCall{hOwner, text, caption, uType});
            box.done(0);
        };
    }
    RunDialogLoop(box, onOpen);
    disabler.Release();
    activation.Restore(&box);
    if (!responder) {
        QAbstractButton* pClicked = box.clickedButton();
        nResult = pClicked ? IdFor(box.standardButton(pClicked))
                           : ((uType & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL);
    }
    return nResult;
}
