#include "res/VersionInfo.h"

#include <cstring>

namespace {

// In this order; FileVersion is a date, not the dotted version of the fixed part.
const VersionString kStrings[] = {
    {"Comments", "Steuerung eines Programmiergeräts für 89C2051 an COM1 bis COM4"},
    {"CompanyName", "Korvanto-Projekt"},
    {"FileDescription", "Korvanto"},
    {"FileVersion", "11.01.99"},
    {"InternalName", "Korvanto"},
    {"LegalCopyright", "Copyright © 1999 Korvanto-Projekt"},
    {"OriginalFilename", "Korvanto.exe"},
    {"ProductName", "Korvanto"},
    {"ProductVersion", "1.0"},
};

const VersionInfo kVersion = {
    {
        {1, 0, 0, 1}, // FileVersion 1.0.0.1
        {1, 0, 0, 1}, // ProductVersion 1.0.0.1
        0x3F,         // VS_FFI_FILEFLAGSMASK
        0,
        0x4, // VOS__WINDOWS32
        0x1, // VFT_APP
        0,
        0,
        0,
    },
    "040704b0",
    kStrings,
    static_cast<int>(sizeof(kStrings) / sizeof(kStrings[0])),
    0x0407,
    0x04B0,
};

} // namespace

const VersionInfo& GetVersionInfo() {
    return kVersion;
}

LPCSTR FindVersionString(LPCSTR lpszKey) {
    if (!lpszKey)
        return nullptr;
    for (const VersionString& s : kStrings) {
        if (std::strcmp(s.lpszKey, lpszKey) == 0)
            return s.lpszValue;
    }
    return nullptr;
}
