// The open (or save) file dialog.
#pragma once

#include "kernel/CString.h"
#include "ui/CWnd.h"

#ifdef _WIN32
#include <commdlg.h> // OFN_*: <windows.h> leaves it out when lean
#endif

class CFileDialog {
public:
    // lpszFilter: pairs of description and pattern, separated by '|' and ended by
    // "||", e.g. "Binary Files (*.bin)|*.bin|All Files (*.*)|*.*||"; a pattern may list
    // several, separated by ';'. The first pair is selected at first.
    explicit CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr,
                         LPCSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         LPCSTR lpszFilter = nullptr, CWnd* pParentWnd = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;
    virtual ~CFileDialog();

    // Runs the dialog with its owner disabled; IDOK when a file was chosen, else IDCANCEL.
    // An open dialog does not insist that the file exist (unless OFN_FILEMUSTEXIST).
    virtual INT_PTR DoModal();
    // The chosen file's full path.
    CString GetPathName() const;

protected:
    BOOL m_bOpenFileDialog;
    CString m_strDefExt;
    CString m_strFileName;
    DWORD m_dwFlags;
    CString m_strFilter;
    CWnd* m_pParentWnd;
    CString m_strPathName;
};
