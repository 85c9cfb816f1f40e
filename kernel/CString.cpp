// CString on a std::string of bytes in the platform's multi-byte encoding.
//
// Searches and trims walk the text character by character, as the platform's
// encoding divides it (kernel/CStringChars.h); nothing is ever skipped or lost.
#include "kernel/CString.h"

#include <algorithm>
#include <cstring>

#include "kernel/CStringChars.h"

namespace {

// Calls f(pos, len) for every character; f returns false to stop.
template <class F> void ForEachChar(const std::string& s, F f) {
    std::mbstate_t state{};
    for (size_t pos = 0; pos < s.size();) {
        size_t len = CharLengthAt(s, pos, state);
        if (!f(pos, len))
            return;
        pos += len;
    }
}

bool IsTrimBlank(const std::string& s, size_t pos, size_t len) {
    return len == 1 && std::strchr(" \t\n\v\f\r", s[pos]) != nullptr && s[pos] != '\0';
}

int Clamp(long long v, long long lo, long long hi) {
    return static_cast<int>(std::min(std::max(v, lo), hi));
}

} // namespace

CString::CString() = default;
CString::CString(const CString& other) = default;
CString::CString(LPCSTR psz) : m_str(psz ? psz : "") {}
CString::CString(LPCSTR pch, int nLength)
    : m_str(pch && nLength > 0 ? std::string(pch, static_cast<size_t>(nLength)) : std::string()) {}
CString::CString(char ch, int nRepeat)
    : m_str(nRepeat > 0 ? static_cast<size_t>(nRepeat) : 0, ch) {}
CString::~CString() = default;

CString& CString::operator=(const CString& other) = default;

CString& CString::operator=(LPCSTR psz) {
    m_str = psz ? psz : ""; // psz may point into m_str itself: assign copies first
    return *this;
}

CString& CString::operator=(char ch) {
    m_str.assign(1, ch);
    return *this;
}

int CString::GetLength() const {
    return static_cast<int>(m_str.size());
}
BOOL CString::IsEmpty() const {
    return m_str.empty() ? TRUE : FALSE;
}
void CString::Empty() {
    m_str.clear();
}

char CString::GetAt(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetLength())
        return '\0';
    return m_str[static_cast<size_t>(nIndex)];
}

char CString::operator[](int nIndex) const {
    return GetAt(nIndex);
}
CString::operator LPCSTR() const {
    return m_str.c_str();
}

CString& CString::operator+=(const CString& other) {
    m_str += other.m_str;
    return *this;
}

CString& CString::operator+=(LPCSTR psz) {
    if (psz)
        m_str += std::string(psz);
    return *this;
}

CString& CString::operator+=(char ch) {
    m_str += ch;
    return *this;
}

int CString::Compare(LPCSTR psz) const {
    return std::strcmp(m_str.c_str(), psz ? psz : "");
}

int CString::Find(char ch) const {
    return Find(ch, 0);
}

int CString::Find(char ch, int nStart) const {
    if (nStart < 0 || nStart >= GetLength())
        return -1;
    int found = -1;
    ForEachChar(m_str, [&](size_t pos, size_t len) {
        if (pos >= static_cast<size_t>(nStart) && len == 1 && m_str[pos] == ch)
            found = static_cast<int>(pos);
        return found < 0;
    });
    return found;
}

int CString::Find(LPCSTR pszSub) const {
    return Find(pszSub, 0);
}

int CString::Find(LPCSTR pszSub, int nStart) const {
    if (nStart < 0 || nStart > GetLength())
        return -1;
    const std::string sub = pszSub ? pszSub : "";
    if (sub.empty())
        return nStart;
    int found = -1;
    ForEachChar(m_str, [&](size_t pos, size_t) {
        if (pos >= static_cast<size_t>(nStart) && m_str.compare(pos, sub.size(), sub) == 0)
            found = static_cast<int>(pos);
        return found < 0;
    });
    return found;
}

int CString::ReverseFind(char ch) const {
    int found = -1;
    ForEachChar(m_str, [&](size_t pos, size_t len) {
        if (len == 1 && m_str[pos] == ch)
            found = static_cast<int>(pos);
        return true;
    });
    return found;
}

CString CString::Mid(int nFirst) const {
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const {
    const long long len = GetLength();
    const int first = Clamp(nFirst, 0, len);
    const int count = Clamp(nCount, 0, len - first);
    return CString(m_str.data() + first, count);
}

CString CString::Left(int nCount) const {
    return Mid(0, nCount);
}

CString CString::Right(int nCount) const {
    const int count = Clamp(nCount, 0, GetLength());
    return Mid(GetLength() - count, count);
}

void CString::TrimLeft() {
    size_t keepFrom = m_str.size();
    ForEachChar(m_str, [&](size_t pos, size_t len) {
        if (IsTrimBlank(m_str, pos, len))
            return true;
        keepFrom = pos;
        return false;
    });
    m_str.erase(0, keepFrom);
}

void CString::TrimRight() {
    size_t keepTo = 0;
    ForEachChar(m_str, [&](size_t pos, size_t len) {
        if (!IsTrimBlank(m_str, pos, len))
            keepTo = pos + len;
        return true;
    });
    m_str.erase(keepTo);
}

CString operator+(const CString& a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, LPCSTR b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(LPCSTR a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, char b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(char a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}

namespace {
// Whole contents, embedded NUL bytes included.
bool SameBytes(const CString& a, const CString& b) {
    return a.GetLength() == b.GetLength() &&
           std::memcmp(static_cast<LPCSTR>(a), static_cast<LPCSTR>(b),
                       static_cast<size_t>(a.GetLength())) == 0;
}
} // namespace

bool operator==(const CString& a, const CString& b) {
    return SameBytes(a, b);
}
bool operator==(const CString& a, LPCSTR b) {
    return SameBytes(a, CString(b));
}
bool operator==(LPCSTR a, const CString& b) {
    return SameBytes(CString(a), b);
}
bool operator!=(const CString& a, const CString& b) {
    return !(a == b);
}
bool operator!=(const CString& a, LPCSTR b) {
    return !(a == b);
}
bool operator!=(LPCSTR a, const CString& b) {
    return !(a == b);
}

bool operator<(const CString& a, const CString& b) {
    const size_t la = static_cast<size_t>(a.GetLength());
    const size_t lb = static_cast<size_t>(b.GetLength());
    const int c = std::memcmp(static_cast<LPCSTR>(a), static_cast<LPCSTR>(b), std::min(la, lb));
    return c < 0 || (c == 0 && la < lb);
}
