// A modal run in the platform's sense (inside the binding): the owner is disabled and
// the run has its own loop. This is not Qt's window modality, which would block the
// ownerless boxes that the program opens while its dialog runs.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "ui/WinUser.h"

class QDialog;

namespace ui_internal {

// Disables the owner (when it was enabled) for its lifetime or until Release().
class OwnerDisabler {
public:
    explicit OwnerDisabler(HWND hOwner);
    OwnerDisabler(const OwnerDisabler&) = delete;
    OwnerDisabler& operator=(const OwnerDisabler&) = delete;
    ~OwnerDisabler();
    void Release();

private:
    QPointer<QWidget> m_pOwner;
    bool m_bDisabled;
};

// The window of the program that was active when a box or dialog opened is made
// active again when it has closed, as the platform activates another window of the
// program when the active one goes; without a window manager nothing else would give
// the keyboard focus back. A window that has gone, is hidden or disabled is left alone,
// and so is another window of the program activated meanwhile.
class ActivationKeeper {
public:
    ActivationKeeper();
    ActivationKeeper(const ActivationKeeper&) = delete;
    ActivationKeeper& operator=(const ActivationKeeper&) = delete;
    void Restore(const QWidget* pClosing);

private:
    QPointer<QWidget> m_pPrevious;
};

// Stacks the window above its owner's window without making it a Qt child (the
// owner's disabling would reach a child).
void SetTransientOwner(QWidget* pWindow, HWND hOwner);

// Centres the window over the owner's window, or on the screen without an owner; kept
// within the screen's work area.
void CentreOver(QWidget* pWindow, HWND hOwner);

// Shows the dialog non-modal and runs a loop until it has finished. onOpen, when
// set, runs from inside that loop once the dialog is open.
void RunDialogLoop(QDialog& dialog, const std::function<void()>& onOpen);

} // namespace ui_internal
