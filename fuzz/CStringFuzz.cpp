// Fuzz target: the CString operations the command-line processing uses, on
// arbitrary bytes in three locales (C, C.UTF-8, de_DE.UTF-8).
//
// Input layout: byte 0 picks the locale, bytes 1..4 and 5..8 are two ints
// (start/count, little-endian), byte 9 a character, byte 10 the length (mod 17)
// of a search string taken from what follows; the rest is the text (embedded NUL bytes included).
//
// Invariants: every result lies inside the string it came from; positions found
// hold what was searched; where an oracle is exact (ASCII searches in a UTF-8
// locale, any byte in the C locale) the result equals a plain byte search.
// AddressSanitizer catches any read outside a buffer.
#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "kernel/CString.h"

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

std::string Bytes(const CString& s) {
    LPCSTR p = s;
    Check(p[s.GetLength()] == '\0', "terminated after its length");
    return std::string(p, static_cast<size_t>(s.GetLength()));
}

long long Clamp(long long v, long long lo, long long hi) {
    return std::min(std::max(v, lo), hi);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Every byte is a character of its own: in the C locale always, in UTF-8 for ASCII.
bool ByteIsCharacter(bool utf8, char ch) {
    return !utf8 || static_cast<unsigned char>(ch) < 0x80;
}

const char* const kLocales[] = {"C", "C.UTF-8", "de_DE.UTF-8"};

bool SelectLocale(uint8_t pick) {
    static int current = -1;
    const int want = pick % 3;
    if (want != current) {
        if (!std::setlocale(LC_ALL, kLocales[want]))
            std::setlocale(LC_ALL, "C.UTF-8"); // de_DE not generated: still a UTF-8 run
        current = want;
    }
    return want != 0;
}

void CheckFindChar(const CString& s, const std::string& text, char ch, int nStart, bool utf8) {
    const int r = s.Find(ch, nStart);
    if (r >= 0) {
        Check(r >= nStart && r < s.GetLength() && text[static_cast<size_t>(r)] == ch,
              "Find(ch, start) points at ch at or after start");
    }
    if (ByteIsCharacter(utf8, ch)) {
        const size_t e =
            nStart < 0 ? std::string::npos : text.find(ch, static_cast<size_t>(nStart));
        Check(r == (e == std::string::npos ? -1 : static_cast<int>(e)), "Find(ch, start) exact");
    }
    Check(s.Find(ch) == s.Find(ch, 0) || s.IsEmpty(), "Find(ch) is Find(ch, 0)");
}

void CheckReverseFind(const CString& s, const std::string& text, char ch, bool utf8) {
    const int r = s.ReverseFind(ch);
    if (r >= 0)
        Check(r < s.GetLength() && text[static_cast<size_t>(r)] == ch, "ReverseFind points at ch");
    if (ByteIsCharacter(utf8, ch)) {
        const size_t e = text.rfind(ch);
        Check(r == (e == std::string::npos ? -1 : static_cast<int>(e)), "ReverseFind exact");
    }
    Check(r >= s.Find(ch), "ReverseFind is not before Find");
}

void CheckFindSub(const CString& s, const std::string& text, const std::string& subBytes,
                  int nStart, bool utf8) {
    const std::string sub(subBytes.c_str()); // as LPCSTR: up to its first NUL
    const int r = s.Find(subBytes.c_str(), nStart);
    if (r >= 0) {
        Check(r >= nStart && static_cast<size_t>(r) + sub.size() <= text.size() &&
                  text.compare(static_cast<size_t>(r), sub.size(), sub) == 0,
              "Find(sub, start) points at sub inside the string");
    }
    if (sub.empty()) {
        Check(r == (nStart >= 0 && nStart <= s.GetLength() ? nStart : -1), "empty sub");
    } else if (ByteIsCharacter(utf8, sub[0])) {
        const size_t e =
            nStart < 0 ? std::string::npos : text.find(sub, static_cast<size_t>(nStart));
        Check(r == (e == std::string::npos ? -1 : static_cast<int>(e)), "Find(sub, start) exact");
    }
}

void CheckSlices(const CString& s, const std::string& text, int a, int b) {
    const long long len = static_cast<long long>(text.size());
    const long long first = Clamp(a, 0, len);
    const long long count = Clamp(b, 0, len - first);
    Check(Bytes(s.Mid(a, b)) == text.substr(static_cast<size_t>(first), static_cast<size_t>(count)),
          "Mid(first, count)");
    Check(Bytes(s.Mid(a)) == text.substr(static_cast<size_t>(first)), "Mid(first)");
    const size_t left = static_cast<size_t>(Clamp(b, 0, len));
    Check(Bytes(s.Left(b)) == text.substr(0, left), "Left");
    Check(Bytes(s.Right(b)) == text.substr(text.size() - left), "Right");
    Check(s.GetAt(a) == (a >= 0 && a < len ? text[static_cast<size_t>(a)] : '\0'), "GetAt");
}

void CheckTrims(const CString& s, const std::string& text) {
    size_t from = 0;
    while (from < text.size() && IsBlank(text[from]))
        ++from;
    size_t to = text.size();
    while (to > 0 && IsBlank(text[to - 1]))
        --to;
    CString l(s);
    l.TrimLeft();
    Check(Bytes(l) == text.substr(from), "TrimLeft removes the leading blanks only");
    CString r(s);
    r.TrimRight();
    Check(Bytes(r) == text.substr(0, to), "TrimRight removes the trailing blanks only");
    Check(Bytes(s) == text, "trims work on copies");
}

void CheckUpper(const CString& s, const std::string& text, bool utf8) {
    CString u(s);
    u.MakeUpper();
    const std::string up = Bytes(u);
    if (!utf8) {
        std::string e = text;
        for (char& c : e)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        Check(up == e, "MakeUpper in the C locale maps a-z only");
        return;
    }
    // No ASCII lower-case letter survives; blanks, quotes, slashes and NUL bytes
    // (what the command line is split on) keep their count and order.
    std::string keptIn, keptOut;
    for (char c : text)
        if (IsBlank(c) || c == '"' || c == '/' || c == '\0')
            keptIn += c;
    for (char c : up) {
        Check(!(c >= 'a' && c <= 'z'), "MakeUpper leaves no a-z");
        if (IsBlank(c) || c == '"' || c == '/' || c == '\0')
            keptOut += c;
    }
    Check(keptIn == keptOut, "MakeUpper keeps separators");
}

// Reads the input front to back in the layout above; missing bytes read as 0.
class Input {
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    int32_t Int() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<uint32_t>(Byte()) << (8 * i);
        return static_cast<int32_t>(v);
    }
    std::string Bytes(size_t n) {
        n = std::min(n, m_size - m_pos);
        std::string s(reinterpret_cast<const char*>(m_data + m_pos), n);
        m_pos += n;
        return s;
    }
    std::string Rest() { return Bytes(m_size - m_pos); }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    const bool utf8 = SelectLocale(in.Byte());
    const int32_t a = in.Int();
    const int32_t b = in.Int();
    const char ch = static_cast<char>(in.Byte());
    const std::string sub = in.Bytes(in.Byte() % 17);
    const std::string text = in.Rest();

    const CString s(text.data(), static_cast<int>(text.size()));
    Check(Bytes(s) == text, "construction keeps every byte");

    CheckFindChar(s, text, ch, a, utf8);
    CheckReverseFind(s, text, ch, utf8);
    CheckFindSub(s, text, sub, a, utf8);
    CheckSlices(s, text, a, b);
    CheckTrims(s, text);
    CheckUpper(s, text, utf8);
    return 0;
}
