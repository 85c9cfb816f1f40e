#include "ui/CFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFileInfo>
#include <QLineEdit>
#include <QStringList>

#include "ui/CWinApp.h"
#include "ui/internal/Modal.h"
#include "ui/internal/Seams.h"
#include "ui/internal/Window.h"

using namespace ui_internal;

namespace {

// "desc|pattern|desc|pattern||" as Qt's name filters "desc (patterns)". The shown
// description stays as written (the details Qt would add are hidden); "*.*" matches
// every file, also one without a dot, as it does on the platform.
QStringList NameFilters(const CString& strFilter) {
    QStringList parts = ToQString(strFilter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break;
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
        }
        filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters;
}

bool HasWildcard(const QString& s) {
    return s.contains(QLatin1Char('*')) || s.contains(QLatin1Char('?'));
}

// Qt's file dialog with the name box of the platform's: a pattern there ("*.bin",
// "*.h;*.c", also after a folder, "bilder/*.bin") is no file's name. Confirming it
// shows the folder's files that match, keeps the pattern in the box and leaves the
// dialog open; only a real name confirms the dialog.
class FileDialog : public QFileDialog {
public:
    void accept() override {
        QLineEdit* pNameBox = NameBox();
        QString typed = pNameBox ? pNameBox->text().trimmed() : QString();
        if (!HasWildcard(typed)) {
            QFileDialog::accept();
            return;
        }
        int nSlash = typed.lastIndexOf(QLatin1Char('/'));
        if (nSlash >= 0) {
            QString folder = typed.left(nSlash + 1);
            typed = typed.mid(nSlash + 1);
            QDir dir = directory();
            QString target = QDir::isAbsolutePath(folder) ? folder : dir.filePath(folder);
            if (!QFileInfo(target).isDir())
                return; // no such folder: the name box keeps what was typed
            setDirectory(QDir::cleanPath(target));
        }
        ShowOnly(typed.split(QLatin1Char(';'), Qt::SkipEmptyParts));
        pNameBox->setText(typed);
    }

    QLineEdit* NameBox() const { return findChild<QLineEdit*>(QStringLiteral("fileNameEdit")); }

    // The list shows the folders and the files that match the patterns; choosing an
    // entry of the type list later shows its patterns instead.
    void ShowOnly(QStringList patterns) {
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
        }
        if (auto* pModel = findChild<QFileSystemModel*>())
            pModel->setNameFilters(patterns);
    }
};

// The full path; the default extension is added to a name without one that names no
// existing file.
QString CompletePath(const QString& chosen, const CString& strDefExt) {
    QString path = QFileInfo(chosen).absoluteFilePath();
    QString ext = ToQString(strDefExt);
    while (ext.startsWith(QLatin1Char('.')))
        ext.remove(0, 1);
    QFileInfo info(path);
    if (!ext.isEmpty() && !info.fileName().contains(QLatin1Char('.')) && !info.exists())
        path += QLatin1Char('.') + ext;
    return path;
}

} // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName,
                         DWORD dwFlags, LPCSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_strDefExt(lpszDefExt), m_strFileName(lpszFileName),
      m_dwFlags(dwFlags), m_strFilter(lpszFilter), m_pParentWnd(pParentWnd) {}

CFileDialog::~CFileDialog() = default;

INT_PTR CFileDialog::DoModal() {
    CWnd* pOwner = m_pParentWnd ? m_pParentWnd : AfxGetApp()->m_pMainWnd;
    HWND hOwner = pOwner ? TopLevelOf(pOwner->m_hWnd) : nullptr;

    FileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setAcceptMode(m_bOpenFileDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(m_bOpenFileDialog && (m_dwFlags & OFN_FILEMUSTEXIST)
                           ? QFileDialog::ExistingFile
                           : QFileDialog::AnyFile);
    if (!m_bOpenFileDialog && !(m_dwFlags & OFN_OVERWRITEPROMPT))
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    QStringList filters = NameFilters(m_strFilter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    // The initial name stands in the name box, a pattern too ("*.bin"), which then
    // also picks the files shown.
    QString initial = ToQString(m_strFileName);
    if (!initial.isEmpty()) {
        dialog.selectFile(initial);
        if (QLineEdit* pNameBox = dialog.NameBox())
            pNameBox->setText(initial);
        if (HasWildcard(initial))
            dialog.ShowOnly(initial.split(QLatin1Char(';'), Qt::SkipEmptyParts));
    }
    SetTransientOwner(&dialog, hOwner);
    OwnerDisabler disabler(hOwner);

    bool bChosen = false;
    QString chosen;
    auto responder = CurrentFileDialogResponder();
    std::function<void()> onOpen;
    if (responder) {
        onOpen = [&]() {
            CString path = m_strFileName;
            bChosen = responder(path) != FALSE;
            chosen = ToQString(path);
            if (bChosen)
                dialog.QDialog::accept();
            else
                dialog.reject();
        };
    }
    RunDialogLoop(dialog, onOpen);
    disabler.Release();
    if (!responder) {
        bChosen = dialog.result() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
        if (bChosen)
            chosen = dialog.selectedFiles().first();
    }
    if (!bChosen || chosen.isEmpty())
        return IDCANCEL;
    m_strPathName = CompletePath(chosen, m_strDefExt).toUtf8().constData();
    return IDOK;
}

CString CFileDialog::GetPathName() const {
    return m_strPathName;
}
