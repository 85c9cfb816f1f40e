// korvanto-makerc: writes the program's resources as a Windows resource script and an
// icon file, at build time, from the same data rows the Linux build uses, so that each
// dialog, the icon, the string table and the version block have one description.
//
//   korvanto-makerc OUT.rc OUT.ico
//
// OUT.rc is in Windows-1252 (the code page windres reads by default, and the one it
// names in a #pragma) and names OUT.ico for the icon group. Both files are written
// whole or not at all. Exit status 0 on success, 1 when the data cannot be expressed
// (a character outside Windows-1252, a colour outside the standard palette, ...) or a
// file cannot be written, 2 for a bad command line.
//
// This is a tool of the build machine: it is built natively and never linked into the
// program.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "res/DialogTemplate.h"
#include "res/IconData.h"
#include "res/StringTable.h"
#include "res/VersionInfo.h"
#include "res/resource.h"

namespace {

// A fault in the data: the message names what cannot be expressed.
struct DataError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Resource ids are 16-bit; the tables are asked for each.
constexpr UINT kMaxResourceId = 0xFFFF;

// --- Text: UTF-8 (the rows) to Windows-1252 (the script) ----------------------------

// Windows-1252 0x80..0x9F; 0 where the code page has no character.
const std::uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The next code point of a UTF-8 text; throws on a malformed sequence.
std::uint32_t NextCodePoint(const std::string& text, size_t& pos) {
    const unsigned char lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80)
        return lead;
    int nMore = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (nMore < 0 || lead > 0xF4)
        throw DataError("malformed UTF-8 in \"" + text + "\"");
    std::uint32_t cp = lead & (0x3F >> nMore);
    for (int i = 0; i < nMore; ++i) {
        if (pos >= text.size() || (static_cast<unsigned char>(text[pos]) & 0xC0) != 0x80)
            throw DataError("malformed UTF-8 in \"" + text + "\"");
        cp = (cp << 6) | (static_cast<unsigned char>(text[pos++]) & 0x3F);
    }
    return cp;
}

std::string ToCp1252(const std::string& utf8) {
    std::string out;
    for (size_t pos = 0; pos < utf8.size();) {
        const std::uint32_t cp = NextCodePoint(utf8, pos);
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out += static_cast<char>(cp);
            continue;
        }
        int found = -1;
        for (int i = 0; i < 32 && found < 0; ++i) {
            if (kCp1252High[i] != 0 && kCp1252High[i] == cp)
                found = i;
        }
        if (found < 0) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(cp));
            throw DataError(std::string("\"") + utf8 + "\" has " + hex +
                            ", which Windows-1252 cannot express");
        }
        out += static_cast<char>(0x80 + found);
    }
    return out;
}

// A quoted string of the resource script: quotes doubled, backslashes and control
// characters as escapes, the rest as Windows-1252 bytes.
std::string Quote(const std::string& utf8) {
    std::string out = "\"";
    for (char c : ToCp1252(utf8)) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"') {
            out += "\"\"";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20 || u == 0x7F) {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", u);
            out += octal;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Hex(DWORD value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(value));
    return buffer;
}

// "LANGUAGE primary, sub" for a language id.
std::string Language(WORD wLanguage) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "LANGUAGE 0x%02X, 0x%02X", wLanguage & 0x3FFu,
                  static_cast<unsigned>(wLanguage >> 10));
    return buffer;
}

// --- Dialog templates ---------------------------------------------------------------

// The predefined window classes go into a template as their numbers (0x0080 BUTTON to
// 0x0085 COMBOBOX), as the platform's own resource compiler writes them; windres keeps
// a quoted name as a name.
std::string ControlClass(const char* lpszClass) {
    const char* const predefined[] = {"BUTTON",  "EDIT",      "STATIC",
                                      "LISTBOX", "SCROLLBAR", "COMBOBOX"};
    std::string upper = lpszClass;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (int i = 0; i < 6; ++i) {
        if (upper == predefined[i])
            return Hex(DWORD(0x80 + i));
    }
    return Quote(lpszClass);
}

std::string ControlText(const DialogItemTemplate& item) {
    if (item.lpszText)
        return Quote(item.lpszText);
    return std::to_string(item.nTextResource); // an ordinal: the icon of an SS_ICON
}

// windres starts a control's style at WS_CHILD | WS_VISIBLE and adds the value to it:
// a bit of those two that the row leaves out is taken away first ("NOT ...").
std::string ControlStyle(DWORD dwStyle) {
    const DWORD dwDefault = 0x40000000 | 0x10000000; // WS_CHILD | WS_VISIBLE
    const DWORD dwMissing = dwDefault & ~dwStyle;
    return dwMissing ? "NOT " + Hex(dwMissing) + " | " + Hex(dwStyle) : Hex(dwStyle);
}

void WriteDialog(std::ostream& rc, const DialogTemplate& t) {
    const char* kind = t.bExtended ? "DIALOGEX" : "DIALOG";
    rc << Language(t.wLanguage) << "\n";
    rc << t.nID << " " << kind << " " << t.x << ", " << t.y << ", " << t.cx << ", " << t.cy;
    if (t.bExtended)
        rc << ", " << t.dwHelpID;
    else if (t.dwHelpID != 0)
        throw DataError("a plain dialog template has no help id");
    rc << "\nSTYLE " << Hex(t.dwStyle) << "\n";
    if (t.dwExStyle != 0)
        rc << "EXSTYLE " << Hex(t.dwExStyle) << "\n";
    if (t.lpszCaption)
        rc << "CAPTION " << Quote(t.lpszCaption) << "\n";
    if (t.lpszMenu)
        rc << "MENU " << t.lpszMenu << "\n";
    if (t.lpszClass)
        rc << "CLASS " << Quote(t.lpszClass) << "\n";
    if (t.dwStyle & 0x40) { // DS_SETFONT: the template names its font
        rc << "FONT " << t.wPointSize << ", " << Quote(t.lpszTypeFace);
        if (t.bExtended)
            rc << ", " << t.wWeight << ", " << (t.bItalic ? 1 : 0) << ", " << int(t.bCharSet);
        rc << "\n";
    }
    rc << "BEGIN\n";
    for (int i = 0; i < t.nItems; ++i) {
        const DialogItemTemplate& item = t.pItems[i];
        if (!t.bExtended && (item.dwHelpID != 0))
            throw DataError("a plain dialog template has no help ids");
        // CONTROL text, id, class, style, x, y, cx, cy[, exstyle[, help id]]
        rc << "    CONTROL " << ControlText(item) << ", " << item.nID << ", "
           << ControlClass(item.lpszClass) << ", " << ControlStyle(item.dwStyle) << ", " << item.x
           << ", " << item.y << ", " << item.cx << ", " << item.cy << ", " << Hex(item.dwExStyle);
        if (t.bExtended)
            rc << ", " << item.dwHelpID;
        rc << "\n";
    }
    rc << "END\n\n";
}

// --- Icons --------------------------------------------------------------------------

// The standard 16-colour palette, in the order a 4-bit image indexes it.
const std::uint32_t kPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

constexpr int kTransparent = -1;

// One image as palette indices, kTransparent where the mask leaves the pixel out.
struct IndexedImage {
    int cx = 0;
    int cy = 0;
    std::vector<int> pixels; // row by row from the top
};

int PaletteIndex(const std::string& value) {
    if (value == "None")
        return kTransparent;
    char* end = nullptr;
    const unsigned long rgb = std::strtoul(value.c_str() + 1, &end, 16);
    if (value.size() != 7 || value[0] != '#' || *end != '\0')
        throw DataError("bad XPM colour " + value);
    for (int i = 0; i < 16; ++i) {
        if (kPalette[i] == rgb)
            return i;
    }
    throw DataError("colour " + value + " is not in the standard 16-colour palette");
}

IndexedImage ReadXpm(const IconImage& image) {
    IndexedImage out;
    int nColours = 0, nChars = 0;
    if (std::sscanf(image.xpm[0], "%d %d %d %d", &out.cx, &out.cy, &nColours, &nChars) != 4 ||
        nChars < 1 || out.cx != image.cx || out.cy != image.cy)
        throw DataError("bad XPM header");
    if (image.nColors != 16 || out.cx > 255 || out.cy > 255)
        throw DataError("only 16-colour images up to 255 x 255 pixels are written");
    std::map<std::string, int> colours;
    for (int i = 0; i < nColours; ++i) {
        const std::string line = image.xpm[1 + i];
        std::istringstream rest(line.size() > size_t(nChars) ? line.substr(nChars) : "");
        std::string kind, value;
        rest >> kind >> value;
        if (kind != "c")
            throw DataError("bad XPM colour line: " + line);
        colours[line.substr(0, nChars)] = PaletteIndex(value);
    }
    for (int y = 0; y < out.cy; ++y) {
        const std::string row = image.xpm[1 + nColours + y];
        if (row.size() != size_t(out.cx * nChars))
            throw DataError("XPM row of the wrong length");
        for (int x = 0; x < out.cx; ++x) {
            auto it = colours.find(row.substr(size_t(x * nChars), size_t(nChars)));
            if (it == colours.end())
                throw DataError("XPM pixel with no colour");
            out.pixels.push_back(it->second);
        }
    }
    return out;
}

void PutLe(std::string& out, std::uint32_t value, int nBytes) {
    for (int i = 0; i < nBytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The image as an icon file holds it: BITMAPINFOHEADER (twice the height: colour
// bits, then mask), the palette, the 4-bit colour rows and the 1-bit mask rows, both
// from the bottom up and padded to 32 bits. Transparent pixels: mask 1, colour 0.
std::string IconDib(const IndexedImage& image) {
    const int xorStride = (image.cx * 4 + 31) / 32 * 4;
    const int andStride = (image.cx + 31) / 32 * 4;
    std::string dib;
    PutLe(dib, 40, 4); // biSize
    PutLe(dib, std::uint32_t(image.cx), 4);
    PutLe(dib, std::uint32_t(image.cy * 2), 4);
    PutLe(dib, 1, 2); // planes
    PutLe(dib, 4, 2); // bits per pixel
    PutLe(dib, 0, 4); // BI_RGB
    PutLe(dib, std::uint32_t((xorStride + andStride) * image.cy), 4);
    PutLe(dib, 0, 4);
    PutLe(dib, 0, 4);
    PutLe(dib, 0, 4); // colours used: all 16
    PutLe(dib, 0, 4);
    for (std::uint32_t rgb : kPalette)
        PutLe(dib, rgb, 4); // B, G, R, 0 in file order
    std::string colourRows, maskRows;
    for (int y = image.cy - 1; y >= 0; --y) {
        std::string colour(size_t(xorStride), '\0'), mask(size_t(andStride), '\0');
        for (int x = 0; x < image.cx; ++x) {
            const int index = image.pixels[size_t(y * image.cx + x)];
            if (index == kTransparent)
                mask[size_t(x / 8)] = char(mask[size_t(x / 8)] | (0x80 >> (x % 8)));
            else
                colour[size_t(x / 2)] = char(colour[size_t(x / 2)] | (x % 2 ? index : index << 4));
        }
        colourRows += colour;
        maskRows += mask;
    }
    return dib + colourRows + maskRows;
}

// An icon file (ICONDIR, one ICONDIRENTRY per image, the images) of one group.
std::string IconFile(const IconGroup& group) {
    std::vector<std::string> dibs;
    std::vector<IndexedImage> images;
    for (int i = 0; i < group.nImages; ++i) {
        images.push_back(ReadXpm(group.pImages[i]));
        dibs.push_back(IconDib(images.back()));
    }
    std::string file;
    PutLe(file, 0, 2);
    PutLe(file, 1, 2); // an icon
    PutLe(file, std::uint32_t(dibs.size()), 2);
    std::uint32_t offset = std::uint32_t(6 + 16 * dibs.size());
    for (size_t i = 0; i < dibs.size(); ++i) {
        PutLe(file, std::uint32_t(images[i].cx), 1);
        PutLe(file, std::uint32_t(images[i].cy), 1);
        PutLe(file, 16, 1); // colours
        PutLe(file, 0, 1);
        PutLe(file, 1, 2); // planes
        PutLe(file, 4, 2); // bits per pixel
        PutLe(file, std::uint32_t(dibs[i].size()), 4);
        PutLe(file, offset, 4);
        offset += std::uint32_t(dibs[i].size());
    }
    for (const std::string& dib : dibs)
        file += dib;
    return file;
}

// --- String table and version block -------------------------------------------------

void WriteStringTable(std::ostream& rc) {
    std::ostringstream rows;
    for (UINT nID = 0; nID <= kMaxResourceId; ++nID) {
        if (LPCSTR text = FindStringResource(nID))
            rows << "    " << nID << ", " << Quote(text) << "\n";
    }
    if (rows.str().empty())
        return;
    rc << Language(LANG_GERMAN_GERMANY) << "\nSTRINGTABLE\nBEGIN\n" << rows.str() << "END\n\n";
}

std::string Dotted(const WORD v[4]) {
    return std::to_string(v[0]) + ", " + std::to_string(v[1]) + ", " + std::to_string(v[2]) + ", " +
           std::to_string(v[3]);
}

void WriteVersion(std::ostream& rc) {
    const VersionInfo& v = GetVersionInfo();
    if (v.fixed.dwFileDateMS != 0 || v.fixed.dwFileDateLS != 0)
        throw DataError("a resource script cannot set the file date of a version block");
    rc << Language(LANG_GERMAN_GERMANY) << "\n";
    rc << VS_VERSION_INFO << " VERSIONINFO\n";
    rc << "FILEVERSION " << Dotted(v.fixed.wFileVersion) << "\n";
    rc << "PRODUCTVERSION " << Dotted(v.fixed.wProductVersion) << "\n";
    rc << "FILEFLAGSMASK " << Hex(v.fixed.dwFileFlagsMask) << "\n";
    rc << "FILEFLAGS " << Hex(v.fixed.dwFileFlags) << "\n";
    rc << "FILEOS " << Hex(v.fixed.dwFileOS) << "\n";
    rc << "FILETYPE " << Hex(v.fixed.dwFileType) << "\n";
    rc << "FILESUBTYPE " << Hex(v.fixed.dwFileSubtype) << "\n";
    rc << "BEGIN\n    BLOCK \"StringFileInfo\"\n    BEGIN\n";
    rc << "        BLOCK " << Quote(v.lpszStringTableKey) << "\n        BEGIN\n";
    for (int i = 0; i < v.nStrings; ++i) {
        rc << "            VALUE " << Quote(v.pStrings[i].lpszKey) << ", "
           << Quote(v.pStrings[i].lpszValue) << "\n";
    }
    rc << "        END\n    END\n";
    char translation[32];
    std::snprintf(translation, sizeof translation, "0x%04X, 0x%04X", v.wTranslationLanguage,
                  v.wTranslationCodePage);
    rc << "    BLOCK \"VarFileInfo\"\n    BEGIN\n";
    rc << "        VALUE \"Translation\", " << translation << "\n    END\nEND\n";
}

// --- The script ---------------------------------------------------------------------

std::string ResourceScript(const std::string& iconPath) {
    std::ostringstream rc;
    rc << "// Made by korvanto-makerc from the program's data rows in res/; do not edit.\n"
       << "#pragma code_page(1252)\n\n";
    for (UINT nID = 0; nID <= kMaxResourceId; ++nID) {
        if (const DialogTemplate* t = FindDialogTemplate(nID))
            WriteDialog(rc, *t);
    }
    const IconGroup* pIcon = FindIconGroup(IDI_APPICON);
    if (!pIcon)
        throw DataError("the program has no icon");
    rc << Language(pIcon->wLanguage) << "\n" << pIcon->nID << " ICON " << Quote(iconPath) << "\n\n";
    WriteStringTable(rc);
    WriteVersion(rc);
    return rc.str();
}

// Writes next to the target and renames, so that a failed run leaves no half a file.
void WriteWhole(const std::string& path, const std::string& content) {
    const std::string temp = path + ".tmp";
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << content;
    out.close();
    if (!out || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        throw std::runtime_error("cannot write " + path);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: korvanto-makerc OUT.rc OUT.ico\n");
        return 2;
    }
    const std::string rcPath = argv[1], icoPath = argv[2];
    try {
        const IconGroup* pIcon = FindIconGroup(IDI_APPICON);
        if (!pIcon)
            throw DataError("the program has no icon");
        const std::string ico = IconFile(*pIcon);
        const std::string rc = ResourceScript(icoPath);
        WriteWhole(icoPath, ico);
        WriteWhole(rcPath, rc);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "korvanto-makerc: %s\n", e.what());
        return 1;
    }
    return 0;
}
