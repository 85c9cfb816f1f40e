// The Qt widgets that stand for the platform's controls (inside the binding).
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QValidator>

#include "ui/internal/Window.h"

namespace ui_internal {

// A check box: an auto one toggles on a click, a plain one leaves its mark to the program.
class CheckBoxWidget : public QCheckBox {
public:
    CheckBoxWidget(bool bAuto, QWidget* pParent) : QCheckBox(pParent), m_bAuto(bAuto) {}

protected:
    void nextCheckState() override;

private:
    bool m_bAuto;
};

// A radio button that belongs to no exclusive group: an auto one is checked by every
// click, also when it is checked already; a plain one leaves its mark to the program.
class RadioButtonWidget : public QRadioButton {
public:
    RadioButtonWidget(bool bAuto, QWidget* pParent);

protected:
    void nextCheckState() override;

private:
    bool m_bAuto;
};

// Keeps what is typed in lower case.
class LowerCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// The control kind a window class and style stand for.
WindowKind KindFromClass(LPCSTR lpszClass, DWORD dwStyle);

// Builds the widget for a control, with the style's states (visible, enabled, focus,
// read-only ...) and its text; registers its handle. pIcon: the picture of an SS_ICON.
HWND CreateControl(QWidget* pParentWidget, HWND hParent, LPCSTR lpszClass, DWORD dwStyle,
                   DWORD dwExStyle, int nCtrlId, const std::string& strText, HICON hIcon);

// The text of a static without SS_NOPREFIX as the platform shows it: "&&" is one
// ampersand, a single "&" marks the next character and is not shown.
QString StripMnemonicPrefix(const QString& text);

// Sets the window's text as its kind shows it (edit: lower case when asked; static:
// prefix processing; dialog: the caption).
void ApplyWindowText(Window& w, const std::string& strText);
std::string CurrentWindowText(const Window& w);

// Progress bar: applies the record's range and position to the widget.
void ApplyProgress(Window& w);

} // namespace ui_internal
