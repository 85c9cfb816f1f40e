// The thread's last error and the system's texts for error codes.
//
// Error codes are errno values. The text is strerror's in the current locale
// (the entry routine sets it from the user's environment), so it is German
// under a German locale; it comes in the locale's character set and is handed
// on in UTF-8, the program's own. A code glibc has no name for has no text.
// The binding's own codes (above every errno value) have German texts of their own.
#include "kernel/ErrorApi.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <string>

#include "kernel/KernelError.h"

namespace {

thread_local DWORD t_dwLastError = ERROR_SUCCESS;
thread_local std::string t_strDetail;

// text, in the current locale's character set, in UTF-8. A byte that does not
// convert becomes "?"; nothing else is lost.
std::string LocaleToUtf8(const std::string& text) {
    const char* codeset = nl_langinfo(CODESET);
    if (codeset == nullptr || std::strcmp(codeset, "UTF-8") == 0)
        return text;
    iconv_t cd = iconv_open("UTF-8", codeset);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return text;
    std::string out;
    std::string in = text;
    char* pIn = in.data();
    size_t inLeft = in.size();
    char buf[256];
    while (inLeft > 0) {
        char* pOut = buf;
        size_t outLeft = sizeof buf;
        const size_t r = iconv(cd, &pIn, &inLeft, &pOut, &outLeft);
        out.append(buf, static_cast<size_t>(pOut - buf));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            out += '?'; // not a character of the locale's set: skip one byte
            ++pIn;
            --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}

// The binding's own codes and their texts.
bool OwnText(DWORD dwCode, std::string& text) {
    if (dwCode == ERROR_HANDLE_EOF) {
        text = "Die Datei endet vor dem erwarteten Ende.";
        return true;
    }
    return false;
}

// The system's text for dwCode, or false when the code has none.
bool SystemText(DWORD dwCode, std::string& text) {
    if (OwnText(dwCode, text))
        return true;
    if (dwCode > static_cast<DWORD>(INT_MAX))
        return false;
    const int code = static_cast<int>(dwCode);
    if (strerrorname_np(code) == nullptr)
        return false; // strerror would only say "Unknown error N"
    char buf[512];
    text = LocaleToUtf8(strerror_r(code, buf, sizeof buf)); // GNU variant: returns the text
    return true;
}

// Hands text to the caller as FormatMessageA's flags ask; its length, or 0.
DWORD Deliver(DWORD dwFlags, const std::string& text, LPSTR lpBuffer, DWORD nSize) {
    const DWORD length = static_cast<DWORD>(text.size());
    if (dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
        LPSTR* target = reinterpret_cast<LPSTR*>(lpBuffer);
        const size_t bytes = std::max<size_t>(text.size() + 1, nSize);
        char* p = static_cast<char*>(std::malloc(bytes));
        if (p == nullptr) {
            KernelFail(ENOMEM);
            return 0;
        }
        std::memcpy(p, text.c_str(), text.size() + 1);
        *target = p;
        return length;
    }
    if (lpBuffer == nullptr || nSize < length + 1) {
        KernelFail(ERANGE);
        return 0;
    }
    std::memcpy(lpBuffer, text.c_str(), text.size() + 1);
    return length;
}

} // namespace

void KernelFail(DWORD dwError) {
    t_dwLastError = dwError;
    t_strDetail.clear();
}

void KernelFailWithDetail(DWORD dwError, const std::string& detail) {
    t_dwLastError = dwError;
    t_strDetail = detail;
}

std::string KernelErrorDetail(DWORD dwError) {
    return dwError == t_dwLastError ? t_strDetail : std::string();
}

DWORD GetLastError() {
    return t_dwLastError;
}

void SetLastError(DWORD dwErrCode) {
    KernelFail(dwErrCode);
}

DWORD FormatMessageA(DWORD dwFlags, LPCVOID /*lpSource*/, DWORD dwMessageId, DWORD /*dwLanguageId*/,
                     LPSTR lpBuffer, DWORD nSize, va_list* /*Arguments*/) {
    if (dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
        if (lpBuffer == nullptr) {
            KernelFail(EINVAL);
            return 0;
        }
        *reinterpret_cast<LPSTR*>(lpBuffer) = nullptr;
    }
    if (!(dwFlags & FORMAT_MESSAGE_FROM_SYSTEM)) {
        KernelFail(EINVAL); // only the system's own texts are served
        return 0;
    }
    std::string text;
    if (!SystemText(dwMessageId, text)) {
        KernelFail(ENOMSG);
        return 0;
    }
    const std::string detail = KernelErrorDetail(dwMessageId);
    if (!detail.empty())
        text += " (" + detail + ")";
    return Deliver(dwFlags, text, lpBuffer, nSize);
}

HLOCAL LocalFree(HLOCAL hMem) {
    std::free(hMem);
    return nullptr;
}
