// The string the program keeps and passes everywhere: a value type holding a
// sequence of bytes in the user's multi-byte encoding (UTF-8 here).
//
// Positions and counts are in bytes, as the program computes them. Searches and
// trims step through the text by characters, so no byte of a multi-byte
// character is ever taken for an ASCII blank, quote or letter. Out-of-range
// starts and counts clamp; nothing here has undefined behaviour.
//
// On Windows the encoding is the system's ANSI code page: a double-byte
// character is its lead byte and the byte after it, and case follows the system's
// own mapping (kernel/win32/CString.cpp).
#pragma once

#include <string>

#include "kernel/WinTypes.h"

class CString {
public:
    CString();
    CString(const CString& other);
    CString(LPCSTR psz); // a null pointer gives an empty string
    CString(LPCSTR pch, int nLength);
    CString(char ch, int nRepeat = 1);
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(LPCSTR psz);
    CString& operator=(char ch);

    int GetLength() const;
    BOOL IsEmpty() const;
    void Empty();
    char GetAt(int nIndex) const; // 0 outside the string
    char operator[](int nIndex) const;
    operator LPCSTR() const;

    CString& operator+=(const CString& other);
    CString& operator+=(LPCSTR psz);
    CString& operator+=(char ch);

    int Compare(LPCSTR psz) const;

    // -1 when absent; a start outside the string finds nothing.
    int Find(char ch) const;
    int Find(char ch, int nStart) const;
    int Find(LPCSTR pszSub) const;
    int Find(LPCSTR pszSub, int nStart) const;
    int ReverseFind(char ch) const;

    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;

    // By the system's rules in the user's locale, character by character.
    void MakeUpper();
    void MakeLower();

    // Blank, tab, line feed, vertical tab, form feed, carriage return.
    void TrimLeft();
    void TrimRight();

    // From the program's string table; FALSE and empty when the id is missing.
    // Defined with the resources, in the windowing binding.
    BOOL LoadString(UINT nID);

private:
    std::string m_str;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, LPCSTR b);
CString operator+(LPCSTR a, const CString& b);
CString operator+(const CString& a, char b);
CString operator+(char a, const CString& b);

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, LPCSTR b);
bool operator==(LPCSTR a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, LPCSTR b);
bool operator!=(LPCSTR a, const CString& b);
bool operator<(const CString& a, const CString& b);
