// The program's version block: a fixed part, one string table (German, Unicode) and
// the translation. The desktop entry and the AppStream metainfo take their values
// from it.
#pragma once

#include "kernel/WinTypes.h"

struct VersionFixedInfo {
    WORD wFileVersion[4];
    WORD wProductVersion[4];
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};

struct VersionString {
    LPCSTR lpszKey;
    LPCSTR lpszValue;
};

struct VersionInfo {
    VersionFixedInfo fixed;
    LPCSTR lpszStringTableKey; // language and code page, "040704b0"
    const VersionString* pStrings;
    int nStrings;
    WORD wTranslationLanguage;
    WORD wTranslationCodePage;
};

const VersionInfo& GetVersionInfo();
// NULL when the string table has no such key.
LPCSTR FindVersionString(LPCSTR lpszKey);
