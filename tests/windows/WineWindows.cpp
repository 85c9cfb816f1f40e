#include "tests/windows/WineWindows.h"

#include <vector>

namespace {

struct Search {
    const std::string* pTitle;
    DWORD dwProcessId;
    HWND hFound;
};

BOOL CALLBACK MatchWindow(HWND hWnd, LPARAM lParam) {
    Search* pSearch = reinterpret_cast<Search*>(lParam);
    if (!IsWindowVisible(hWnd))
        return TRUE;
    DWORD dwProcessId = 0;
    GetWindowThreadProcessId(hWnd, &dwProcessId);
    if (pSearch->dwProcessId && dwProcessId != pSearch->dwProcessId)
        return TRUE;
    char szTitle[512] = "";
    GetWindowTextA(hWnd, szTitle, sizeof szTitle);
    if (*pSearch->pTitle != szTitle)
        return TRUE;
    pSearch->hFound = hWnd;
    return FALSE;
}

} // namespace

HWND FindVisibleWindow(const std::string& strTitle, DWORD dwProcessId) {
    Search search{&strTitle, dwProcessId, nullptr};
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

HWND WaitForVisibleWindow(const std::string& strTitle, DWORD dwProcessId, DWORD dwMillis) {
    DWORD dwStart = GetTickCount();
    for (;;) {
        HWND hWnd = FindVisibleWindow(strTitle, dwProcessId);
        if (hWnd || GetTickCount() - dwStart > dwMillis)
            return hWnd;
        Sleep(50);
    }
}

std::string WindowText(HWND hWnd) {
    DWORD_PTR nLength = 0;
    if (!SendMessageTimeoutA(hWnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &nLength))
        return std::string();
    std::vector<char> buffer(nLength + 1, '\0');
    DWORD_PTR nCopied = 0;
    SendMessageTimeoutA(hWnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                        SMTO_ABORTIFHUNG, 5000, &nCopied);
    return std::string(buffer.data(), nCopied);
}

int CheckOf(HWND hDlg, int nID) {
    DWORD_PTR nCheck = 0;
    SendMessageTimeoutA(GetDlgItem(hDlg, nID), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &nCheck);
    return static_cast<int>(nCheck);
}

std::string Utf8(const std::string& strAnsi) {
    int nWide = MultiByteToWideChar(CP_ACP, 0, strAnsi.data(), static_cast<int>(strAnsi.size()),
                                    nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(nWide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, strAnsi.data(), static_cast<int>(strAnsi.size()), &wide[0],
                        nWide);
    int nUtf8 = WideCharToMultiByte(CP_UTF8, 0, wide.data(), nWide, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(nUtf8), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), nWide, &utf8[0], nUtf8, nullptr, nullptr);
    return utf8;
}
