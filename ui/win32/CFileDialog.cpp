// The system's common open (or save) dialog.
#include "ui/CFileDialog.h"

#include <string>
#include <vector>

#include "ui/CWinApp.h"

namespace {

// "desc|pattern|...||" as the system's list of NUL-separated strings ending in two
// NULs. The bars are found by characters of the ANSI code page, so the second byte of
// a double-byte character is never taken for one.
std::string FilterList(const CString& strFilter) {
    std::string list;
    for (LPCSTR p = strFilter; *p; p = CharNextA(p)) {
        LPCSTR pNext = CharNextA(p);
        if (*p == '|' && pNext == p + 1)
            list += '\0';
        else
            list.append(p, pNext);
    }
    return list.empty() ? list : list + '\0';
}

// The system wants the default extension without its dot.
LPCSTR WithoutDot(const CString& strExt) {
    LPCSTR p = strExt;
    while (*p == '.')
        ++p;
    return *p ? p : nullptr;
}

} // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName,
                         DWORD dwFlags, LPCSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_strDefExt(lpszDefExt), m_strFileName(lpszFileName),
      m_dwFlags(dwFlags), m_strFilter(lpszFilter), m_pParentWnd(pParentWnd) {}

CFileDialog::~CFileDialog() = default;

INT_PTR CFileDialog::DoModal() {
    CWnd* pOwner = m_pParentWnd ? m_pParentWnd : AfxGetApp()->m_pMainWnd;
    std::string strFilters = FilterList(m_strFilter);
    std::vector<char> file(32768, '\0');
    lstrcpynA(file.data(), m_strFileName, static_cast<int>(file.size()));

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = pOwner && pOwner->m_hWnd ? GetAncestor(pOwner->m_hWnd, GA_ROOT) : nullptr;
    ofn.lpstrFilter = strFilters.empty() ? nullptr : strFilters.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrDefExt = WithoutDot(m_strDefExt);
    ofn.Flags = m_dwFlags | OFN_EXPLORER;
    BOOL bChosen = m_bOpenFileDialog ? GetOpenFileNameA(&ofn) : GetSaveFileNameA(&ofn);
    if (!bChosen)
        return IDCANCEL;
    m_strPathName = file.data();
    return IDOK;
}

CString CFileDialog::GetPathName() const {
    return m_strPathName;
}
