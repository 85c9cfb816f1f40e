// How CString divides and maps text on POSIX: characters of the user's locale
// (mbrlen, mbrtowc); a byte sequence that is no valid character counts as one
// character of one byte and keeps its case.
#include "kernel/CString.h"

#include <climits>
#include <cwctype>

#include "kernel/CStringChars.h"

size_t CharLengthAt(const std::string& s, size_t pos, std::mbstate_t& state) {
    size_t n = std::mbrlen(s.data() + pos, s.size() - pos, &state);
    if (n == static_cast<size_t>(-1) || n == static_cast<size_t>(-2)) {
        state = std::mbstate_t();
        return 1;
    }
    return n == 0 ? 1 : n; // an embedded NUL byte is a character of its own
}

namespace {

template <class Map> std::string MapChars(const std::string& s, Map map) {
    std::string out;
    out.reserve(s.size());
    std::mbstate_t in{};
    for (size_t pos = 0; pos < s.size();) {
        wchar_t wc = 0;
        size_t n = std::mbrtowc(&wc, s.data() + pos, s.size() - pos, &in);
        if (n == static_cast<size_t>(-1) || n == static_cast<size_t>(-2) || n == 0) {
            // Not a character of this encoding (or a NUL): the byte stays as it is.
            in = std::mbstate_t();
            out += s[pos];
            pos += 1;
            continue;
        }
        char buf[MB_LEN_MAX];
        std::mbstate_t outState{};
        size_t m = std::wcrtomb(buf, static_cast<wchar_t>(map(static_cast<wint_t>(wc))), &outState);
        if (m == static_cast<size_t>(-1))
            out.append(s, pos, n); // the mapped character has no encoding here: keep it
        else
            out.append(buf, m);
        pos += n;
    }
    return out;
}

} // namespace

// An ASCII letter maps to its ASCII partner in every locale: option words are ASCII,
// and a Turkish or Azerbaijani locale would otherwise turn "i" into a dotted capital
// and "I" into a dotless small letter. Every other character keeps the locale's rules.
void CString::MakeUpper() {
    m_str = MapChars(m_str, [](wint_t c) {
        if (c < 0x80)
            return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
        return std::towupper(c);
    });
}
void CString::MakeLower() {
    m_str = MapChars(m_str, [](wint_t c) {
        if (c < 0x80)
            return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
        return std::towlower(c);
    });
}
