// How CString divides and maps text on Windows: characters of the system's ANSI code
// page. In a double-byte code page a lead byte and the byte after it are one
// character, so a trail byte that happens to equal '\\', a blank or a letter is never
// found on its own; a lead byte at the very end counts as a character of one byte.
// Case goes through the system's own mapping for the code page.
#include "kernel/CString.h"

#include "kernel/CStringChars.h"

size_t CharLengthAt(const std::string& s, size_t pos, std::mbstate_t&) {
    if (pos + 1 < s.size() && IsDBCSLeadByte(static_cast<BYTE>(s[pos])))
        return 2;
    return 1;
}

// CharUpperA and CharLowerA stop at the first NUL byte; their counted forms take
// the whole string, embedded NUL bytes included, and change no length.
void CString::MakeUpper() {
    if (!m_str.empty())
        CharUpperBuffA(m_str.data(), static_cast<DWORD>(m_str.size()));
}
void CString::MakeLower() {
    if (!m_str.empty())
        CharLowerBuffA(m_str.data(), static_cast<DWORD>(m_str.size()));
}
