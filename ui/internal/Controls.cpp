#include "ui/internal/Controls.h"

#include <QGroupBox>

#include "ui/internal/Handles.h"

namespace ui_internal {

void CheckBoxWidget::nextCheckState() {
    if (m_bAuto)
        QCheckBox::nextCheckState();
}

RadioButtonWidget::RadioButtonWidget(bool bAuto, QWidget* pParent)
    : QRadioButton(pParent), m_bAuto(bAuto) {
    setAutoExclusive(false);
}

void RadioButtonWidget::nextCheckState() {
    // A Qt radio button outside an exclusive group would toggle; the platform's auto
    // radio button is checked by every click.
    if (m_bAuto)
        setChecked(true);
}

QValidator::State LowerCaseValidator::validate(QString& input, int&) const {
    input = input.toLower();
    return Acceptable;
}

namespace {

bool IsClass(LPCSTR lpszClass, const char* pszName) {
    return QString::fromUtf8(lpszClass).compare(QLatin1String(pszName), Qt::CaseInsensitive) == 0;
}

} // namespace

WindowKind KindFromClass(LPCSTR lpszClass, DWORD dwStyle) {
    if (!lpszClass)
        return WindowKind::Other;
    if (IsClass(lpszClass, "BUTTON")) {
        switch (dwStyle & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
            return WindowKind::CheckBox;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return WindowKind::RadioButton;
        case BS_GROUPBOX:
            return WindowKind::GroupBox;
        default:
            return WindowKind::PushButton;
        }
    }
    if (IsClass(lpszClass, "EDIT"))
        return WindowKind::Edit;
    if (IsClass(lpszClass, "STATIC"))
        return WindowKind::Static;
    if (IsClass(lpszClass, "msctls_progress32"))
        return WindowKind::Progress;
    return WindowKind::Other;
}

QString StripMnemonicPrefix(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i; // "&&" gives one '&'; "&x" gives 'x'
        else if (text[i] == QLatin1Char('&'))
            continue; // a trailing '&' marks nothing
        out += text[i];
    }
    return out;
}

namespace {

QWidget* MakeButton(DWORD dwStyle, QWidget* pParent, BOOL& bAuto) {
    DWORD type = dwStyle & BS_TYPEMASK;
    bAuto = FALSE;
    switch (type) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE: {
        bAuto = (type == BS_AUTOCHECKBOX || type == BS_AUTO3STATE);
        auto* p = new CheckBoxWidget(bAuto, pParent);
        p->setTristate(type == BS_3STATE || type == BS_AUTO3STATE);
        return p;
    }
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        bAuto = (type == BS_AUTORADIOBUTTON);
        return new RadioButtonWidget(bAuto, pParent);
    case BS_GROUPBOX:
        return new QGroupBox(pParent);
    default: {
        auto* p = new QPushButton(pParent);
        p->setAutoDefault(false);
        p->setDefault(type == BS_DEFPUSHBUTTON);
        return p;
    }
    }
}

QWidget* MakeEdit(DWORD dwStyle, DWORD dwExStyle, QWidget* pParent) {
    auto* p = new QLineEdit(pParent);
    p->setReadOnly((dwStyle & ES_READONLY) != 0);
    p->setFrame((dwStyle & WS_BORDER) != 0 || (dwExStyle & WS_EX_CLIENTEDGE) != 0);
    if (dwStyle & ES_PASSWORD)
        p->setEchoMode(QLineEdit::Password);
    if ((dwStyle & 3) == ES_CENTER)
        p->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    else if ((dwStyle & 3) == ES_RIGHT)
        p->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (dwStyle & ES_LOWERCASE)
        p->setValidator(new LowerCaseValidator(p));
    return p;
}

QWidget* MakeStatic(DWORD dwStyle, QWidget* pParent, HICON hIcon) {
    auto* p = new QLabel(pParent);
    p->setTextFormat(Qt::PlainText);
    DWORD type = dwStyle & SS_TYPEMASK;
    if (type == SS_ICON) {
        if (hIcon)
            p->setPixmap(QPixmap::fromImage(hIcon->ImageFor(GetSystemMetrics(SM_CXICON))));
        return p;
    }
    Qt::Alignment align = Qt::AlignTop | Qt::AlignLeft;
    if (type == SS_CENTER)
        align = Qt::AlignTop | Qt::AlignHCenter;
    else if (type == SS_RIGHT)
        align = Qt::AlignTop | Qt::AlignRight;
    p->setAlignment(align);
    p->setWordWrap(type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT);
    return p;
}

QWidget* MakeProgress(QWidget* pParent) {
    auto* p = new QProgressBar(pParent);
    p->setTextVisible(false); // the platform's bar shows no text
    return p;
}

Qt::FocusPolicy FocusPolicyFor(WindowKind kind, DWORD dwStyle) {
    switch (kind) {
    case WindowKind::PushButton:
    case WindowKind::CheckBox:
    case WindowKind::RadioButton:
    case WindowKind::Edit:
        // A click gives these the focus; only a tab stop is reached with Tab.
        return (dwStyle & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus;
    default:
        return Qt::NoFocus;
    }
}

// A clicked auto radio button unchecks the other radio buttons of its group, as the
// platform does; a radio that starts a group of its own has none.
void UncheckOtherAutoRadios(HWND hClicked) {
    Window* w = FindWindowRecord(hClicked);
    if (!w || w->kind != WindowKind::RadioButton || !w->bAutoButton)
        return;
    for (HWND hOther : GroupOf(hClicked)) {
        Window* o = FindWindowRecord(hOther);
        if (hOther != hClicked && o && o->kind == WindowKind::RadioButton)
            static_cast<QAbstractButton*>(o->widget.data())->setChecked(false);
    }
}

} // namespace

HWND CreateControl(QWidget* pParentWidget, HWND hParent, LPCSTR lpszClass, DWORD dwStyle,
                   DWORD dwExStyle, int nCtrlId, const std::string& strText, HICON hIcon) {
    WindowKind kind = KindFromClass(lpszClass, dwStyle);
    QWidget* pWidget = nullptr;
    BOOL bAuto = FALSE;
    switch (kind) {
    case WindowKind::PushButton:
    case WindowKind::CheckBox:
    case WindowKind::RadioButton:
    case WindowKind::GroupBox:
        pWidget = MakeButton(dwStyle, pParentWidget, bAuto);
        break;
    case WindowKind::Edit:
        pWidget = MakeEdit(dwStyle, dwExStyle, pParentWidget);
        break;
    case WindowKind::Static:
        pWidget = MakeStatic(dwStyle, pParentWidget, hIcon);
        break;
    case WindowKind::Progress:
        pWidget = MakeProgress(pParentWidget);
        break;
    default:
        pWidget = new QWidget(pParentWidget);
        break;
    }
    HWND hWnd = RegisterWindow(pWidget, kind, nCtrlId, dwStyle, dwExStyle, hParent);
    Window* w = FindWindowRecord(hWnd);
    w->bAutoButton = bAuto;
    pWidget->setFocusPolicy(FocusPolicyFor(kind, dwStyle));
    pWidget->setEnabled((dwStyle & WS_DISABLED) == 0);
    if (kind == WindowKind::Progress)
        ApplyProgress(*w);
    if (!(kind == WindowKind::Static && (dwStyle & SS_TYPEMASK) == SS_ICON))
        ApplyWindowText(*w, strText);
    if (auto* pButton = qobject_cast<QAbstractButton*>(pWidget)) {
        QObject::connect(pButton, &QAbstractButton::clicked, pButton, [hWnd]() {
            UncheckOtherAutoRadios(hWnd);
            NotifyParent(hWnd, BN_CLICKED);
        });
    }
    if (!(dwStyle & WS_VISIBLE))
        pWidget->setVisible(false);
    return hWnd;
}

void ApplyWindowText(Window& w, const std::string& strText) {
    w.strText = strText;
    QString text = QString::fromUtf8(strText.c_str());
    QWidget* p = w.widget;
    switch (w.kind) {
    case WindowKind::PushButton:
    case WindowKind::CheckBox:
    case WindowKind::RadioButton:
        static_cast<QAbstractButton*>(p)->setText(text);
        break;
    case WindowKind::GroupBox:
        static_cast<QGroupBox*>(p)->setTitle(text);
        break;
    case WindowKind::Edit:
        if (w.dwStyle & ES_LOWERCASE) {
            text = text.toLower();
            w.strText = text.toStdString();
        }
        static_cast<QLineEdit*>(p)->setText(text);
        // The caret goes to the start, and with it the view: a text longer than the
        // field shows its beginning, as the platform's edit does after new text.
        static_cast<QLineEdit*>(p)->setCursorPosition(0);
        break;
    case WindowKind::Static:
        if ((w.dwStyle & SS_TYPEMASK) != SS_ICON)
            static_cast<QLabel*>(p)->setText((w.dwStyle & SS_NOPREFIX) ? text
                                                                       : StripMnemonicPrefix(text));
        break;
    case WindowKind::Dialog:
    case WindowKind::Other:
        if (p->isWindow())
            p->setWindowTitle(text);
        break;
    case WindowKind::Progress:
        break;
    }
}

std::string CurrentWindowText(const Window& w) {
    if (w.kind == WindowKind::Edit)
        return static_cast<QLineEdit*>(w.widget.data())->text().toStdString();
    return w.strText;
}

void ApplyProgress(Window& w) {
    auto* pBar = static_cast<QProgressBar*>(w.widget.data());
    bool bRangeChanged;
    if (w.wUpper > w.wLower) {
        bRangeChanged = pBar->minimum() != w.wLower || pBar->maximum() != w.wUpper;
        pBar->setRange(w.wLower, w.wUpper);
        pBar->setValue(w.nPos);
    } else {
        // An empty range shows an empty bar (Qt would show a busy indicator).
        bRangeChanged = pBar->minimum() != 0 || pBar->maximum() != 1;
        pBar->setRange(0, 1);
        pBar->setValue(0);
    }
    if (bRangeChanged && pBar->isVisible())
        pBar->repaint();
}

} // namespace ui_internal
