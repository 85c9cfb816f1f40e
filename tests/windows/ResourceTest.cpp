// korvanto.exe's resources as Windows reads them: the program file (named on the command
// line) is loaded as data and its resources are compared with the data rows in res/,
// the one description of each dialog, the icon, the string table and the version block.
// Texts in the rows are Windows-1252 (the build's execution character set); the
// resources hold UTF-16.
//
//   korvanto-resource-test [gtest options] PATH\korvanto.exe
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "res/DialogTemplate.h"
#include "res/IconData.h"
#include "res/StringTable.h"
#include "res/VersionInfo.h"
#include "res/resource.h"

namespace {

std::string g_exePath;

std::wstring From1252(const char* text) {
    if (!text || !*text)
        return L"";
    int n = MultiByteToWideChar(1252, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    std::wstring out(size_t(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(1252, MB_ERR_INVALID_CHARS, text, -1, &out[0], n);
    out.resize(std::wcslen(out.c_str()));
    return out;
}

// For failure messages: the UTF-16 text as UTF-8.
std::string Utf8(const std::wstring& text) {
    if (text.empty())
        return "";
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize(std::strlen(out.c_str()));
    return out;
}

// A little-endian reader over one resource's bytes; running past the end is a failure
// of the test, not a crash.
class Reader {
public:
    Reader(const BYTE* p, size_t n) : m_p(p), m_n(n) {}
    bool Ok() const { return m_bOk; }
    size_t Pos() const { return m_pos; }
    void Seek(size_t pos) { m_pos = pos; }
    void AlignDword() { m_pos = (m_pos + 3) & ~size_t(3); }
    DWORD Get(int nBytes) {
        if (m_pos + size_t(nBytes) > m_n) {
            m_bOk = false;
            m_pos = m_n;
            return 0;
        }
        DWORD v = 0;
        for (int i = nBytes - 1; i >= 0; --i)
            v = (v << 8) | m_p[m_pos + size_t(i)];
        m_pos += size_t(nBytes);
        return v;
    }
    BYTE Byte() { return BYTE(Get(1)); }
    WORD Word() { return WORD(Get(2)); }
    short Short() { return short(Get(2)); }
    DWORD Dword() { return Get(4); }
    std::wstring String() { // zero-terminated UTF-16
        std::wstring s;
        for (WORD c = Word(); c != 0 && m_bOk; c = Word())
            s += wchar_t(c);
        return s;
    }
    // A name or number of a dialog template: a string, 0xFFFF and a number, or nothing.
    std::wstring StringOrOrdinal(int& nOrdinal) {
        nOrdinal = -1;
        WORD first = Word();
        if (first == 0xFFFF) {
            nOrdinal = Word();
            return L"";
        }
        if (first == 0)
            return L"";
        return wchar_t(first) + String();
    }

private:
    const BYTE* m_p;
    size_t m_n;
    size_t m_pos = 0;
    bool m_bOk = true;
};

typedef std::tuple<std::string, std::string, WORD> ResourceKey; // type, name, language

std::string IdName(LPCSTR id) {
    return IS_INTRESOURCE(id) ? "#" + std::to_string(ULONG_PTR(id)) : std::string(id);
}

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR type, LPCSTR name, WORD lang, LONG_PTR param) {
    reinterpret_cast<std::set<ResourceKey>*>(param)->insert({IdName(type), IdName(name), lang});
    return TRUE;
}

BOOL CALLBACK AddName(HMODULE h, LPCSTR type, LPSTR name, LONG_PTR param) {
    return EnumResourceLanguagesA(h, type, name, AddLanguage, param);
}

BOOL CALLBACK AddType(HMODULE h, LPSTR type, LONG_PTR param) {
    return EnumResourceNamesA(h, type, AddName, param);
}

// The program file, loaded as data: its resources are read, none of its code runs.
class ExeResourceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_hModule = LoadLibraryExA(g_exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite() {
        if (s_hModule)
            FreeLibrary(s_hModule);
        s_hModule = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(s_hModule, nullptr) << g_exePath << ": error " << GetLastError();
    }

    // The bytes of one resource in exactly this language; empty when there is none.
    static std::vector<BYTE> Resource(LPCSTR type, UINT nID, WORD wLanguage) {
        HRSRC hRes = FindResourceExA(s_hModule, type, MAKEINTRESOURCEA(nID), wLanguage);
        HGLOBAL hData = hRes ? LoadResource(s_hModule, hRes) : nullptr;
        const BYTE* p = hData ? static_cast<const BYTE*>(LockResource(hData)) : nullptr;
        if (!p)
            return {};
        return std::vector<BYTE>(p, p + SizeofResource(s_hModule, hRes));
    }

    static HMODULE s_hModule;
};

HMODULE ExeResourceTest::s_hModule = nullptr;

// --- What the file holds ------------------------------------------------------------

TEST_F(ExeResourceTest, HoldsTheProgramsResourcesInTheirLanguagesAndNothingElse) {
    std::set<ResourceKey> found;
    ASSERT_TRUE(EnumResourceTypesA(s_hModule, AddType, LONG_PTR(&found)));
    // The icon group names its images; windres numbers them. Every image is
    // language-neutral like the group.
    std::set<ResourceKey> images;
    for (const ResourceKey& k : found) {
        if (std::get<0>(k) == "#3")
            images.insert(k);
    }
    EXPECT_EQ(images.size(), 2u);
    for (const ResourceKey& k : images)
        EXPECT_EQ(std::get<2>(k), LANG_NEUTRAL_DEFAULT) << std::get<1>(k);
    for (const ResourceKey& k : images)
        found.erase(k);
    const std::set<ResourceKey> expected = {
        {"#5", "#" + std::to_string(IDD_INFO), LANG_GERMAN_GERMANY},
        {"#5", "#" + std::to_string(IDD_PANEL), LANG_GERMAN_GERMANY},
        {"#14", "#" + std::to_string(IDI_APPICON), LANG_NEUTRAL_DEFAULT},
        {"#6", "#" + std::to_string(IDS_INFOMENU / 16 + 1), LANG_GERMAN_GERMANY},
        {"#16", "#" + std::to_string(VS_VERSION_INFO), LANG_GERMAN_GERMANY},
    };
    EXPECT_EQ(found, expected);
}

// --- Dialog templates ---------------------------------------------------------------

// One template as the file holds it, in the rows' terms.
struct ParsedItem {
    DWORD dwHelpID = 0, dwExStyle = 0, dwStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD nID = 0;
    int nClassOrdinal = -1;
    std::wstring strClass;
    int nTextOrdinal = -1;
    std::wstring strText;
    WORD wExtra = 0;
};

struct ParsedDialog {
    bool bExtended = false;
    DWORD dwHelpID = 0, dwExStyle = 0, dwStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int nMenuOrdinal = -1, nClassOrdinal = -1, nCaptionOrdinal = -1;
    std::wstring strMenu, strClass, strCaption;
    WORD wPointSize = 0, wWeight = 0;
    BYTE bItalic = 0, bCharSet = 0;
    std::wstring strTypeFace;
    std::vector<ParsedItem> items;
};

// DLGTEMPLATEEX with DLGITEMTEMPLATEEX items, or DLGTEMPLATE with DLGITEMTEMPLATE.
bool ParseDialog(const std::vector<BYTE>& bytes, ParsedDialog& d) {
    Reader r(bytes.data(), bytes.size());
    d.bExtended = r.Word() == 1 && r.Word() == 0xFFFF;
    if (d.bExtended) {
        d.dwHelpID = r.Dword();
        d.dwExStyle = r.Dword();
        d.dwStyle = r.Dword();
    } else {
        r.Seek(0);
        d.dwStyle = r.Dword();
        d.dwExStyle = r.Dword();
    }
    const WORD nItems = r.Word();
    d.x = r.Short(), d.y = r.Short(), d.cx = r.Short(), d.cy = r.Short();
    d.strMenu = r.StringOrOrdinal(d.nMenuOrdinal);
    d.strClass = r.StringOrOrdinal(d.nClassOrdinal);
    d.strCaption = r.StringOrOrdinal(d.nCaptionOrdinal);
    if (d.dwStyle & DS_SETFONT) {
        d.wPointSize = r.Word();
        if (d.bExtended) {
            d.wWeight = r.Word();
            d.bItalic = r.Byte();
            d.bCharSet = r.Byte();
        }
        d.strTypeFace = r.String();
    }
    for (WORD i = 0; i < nItems && r.Ok(); ++i) {
        ParsedItem item;
        r.AlignDword();
        if (d.bExtended) {
            item.dwHelpID = r.Dword();
            item.dwExStyle = r.Dword();
            item.dwStyle = r.Dword();
        } else {
            item.dwStyle = r.Dword();
            item.dwExStyle = r.Dword();
        }
        item.x = r.Short(), item.y = r.Short(), item.cx = r.Short(), item.cy = r.Short();
        item.nID = d.bExtended ? r.Dword() : r.Word();
        item.strClass = r.StringOrOrdinal(item.nClassOrdinal);
        item.strText = r.StringOrOrdinal(item.nTextOrdinal);
        item.wExtra = r.Word();
        r.Seek(r.Pos() + item.wExtra);
        d.items.push_back(item);
    }
    return r.Ok() && r.Pos() == bytes.size();
}

// The predefined window classes a template names by number.
int ClassOrdinal(const char* lpszClass) {
    const char* const names[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX"};
    for (int i = 0; i < 6; ++i) {
        if (_stricmp(lpszClass, names[i]) == 0)
            return 0x80 + i;
    }
    return -1;
}

class DialogResourceTest : public ExeResourceTest, public ::testing::WithParamInterface<UINT> {};

TEST_P(DialogResourceTest, TemplateEqualsTheRows) {
    const DialogTemplate* t = FindDialogTemplate(GetParam());
    ASSERT_NE(t, nullptr);
    ParsedDialog d;
    ASSERT_TRUE(ParseDialog(Resource(RT_DIALOG, t->nID, t->wLanguage), d));
    EXPECT_EQ(d.bExtended, bool(t->bExtended));
    EXPECT_EQ(d.dwStyle, t->dwStyle);
    EXPECT_EQ(d.dwExStyle, t->dwExStyle);
    EXPECT_EQ(d.dwHelpID, t->dwHelpID);
    EXPECT_EQ(std::make_tuple(d.x, d.y, d.cx, d.cy), std::make_tuple(t->x, t->y, t->cx, t->cy));
    // No menu and the standard dialog class (an empty name), as in the rows.
    EXPECT_EQ(d.nMenuOrdinal, -1);
    EXPECT_EQ(Utf8(d.strMenu), t->lpszMenu ? t->lpszMenu : "");
    EXPECT_EQ(d.nClassOrdinal, -1);
    EXPECT_EQ(Utf8(d.strClass), t->lpszClass ? t->lpszClass : "");
    EXPECT_EQ(Utf8(d.strCaption), Utf8(From1252(t->lpszCaption)));
    EXPECT_EQ(d.wPointSize, t->wPointSize);
    EXPECT_EQ(Utf8(d.strTypeFace), t->lpszTypeFace);
    if (t->bExtended) {
        EXPECT_EQ(d.wWeight, t->wWeight);
        EXPECT_EQ(d.bItalic, t->bItalic ? 1 : 0);
        EXPECT_EQ(d.bCharSet, t->bCharSet);
    }
    ASSERT_EQ(d.items.size(), size_t(t->nItems));
    for (int i = 0; i < t->nItems; ++i) {
        const DialogItemTemplate& row = t->pItems[i];
        const ParsedItem& item = d.items[size_t(i)];
        SCOPED_TRACE("control " + std::to_string(i + 1) + ", id " + std::to_string(row.nID));
        // Plain templates keep a 16-bit id: -1 is 0xFFFF there.
        const DWORD nID = t->bExtended ? DWORD(row.nID) : DWORD(WORD(row.nID));
        EXPECT_EQ(item.nID, nID);
        EXPECT_EQ(item.dwStyle, row.dwStyle);
        EXPECT_EQ(item.dwExStyle, row.dwExStyle);
        EXPECT_EQ(item.dwHelpID, row.dwHelpID);
        EXPECT_EQ(std::make_tuple(item.x, item.y, item.cx, item.cy),
                  std::make_tuple(row.x, row.y, row.cx, row.cy));
        const int nClass = ClassOrdinal(row.lpszClass);
        EXPECT_EQ(item.nClassOrdinal, nClass);
        if (nClass < 0) {
            // Window class names are case-insensitive (windres writes them upper case).
            EXPECT_EQ(_wcsicmp(item.strClass.c_str(), From1252(row.lpszClass).c_str()), 0)
                << Utf8(item.strClass);
        }
        if (row.lpszText) {
            EXPECT_EQ(item.nTextOrdinal, -1);
            EXPECT_EQ(Utf8(item.strText), Utf8(From1252(row.lpszText)));
        } else {
            EXPECT_EQ(item.nTextOrdinal, int(row.nTextResource));
        }
        EXPECT_EQ(item.wExtra, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Dialogs, DialogResourceTest, ::testing::Values(IDD_PANEL, IDD_INFO));

// --- The icon -----------------------------------------------------------------------

// The standard 16-colour palette, 0xRRGGBB, in the order a 4-bit image indexes it.
const DWORD kPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

constexpr long kTransparent = -1;

// The picture the rows describe: 0xRRGGBB per pixel from the top left, kTransparent
// where the mask leaves the pixel out.
std::vector<long> RowPixels(const IconImage& image) {
    int cx = 0, cy = 0, nColours = 0, nChars = 0;
    std::sscanf(image.xpm[0], "%d %d %d %d", &cx, &cy, &nColours, &nChars);
    std::map<std::string, long> colours;
    for (int i = 1; i <= nColours; ++i) {
        const std::string line = image.xpm[i];
        const size_t hash = line.find('#', size_t(nChars));
        colours[line.substr(0, size_t(nChars))] =
            hash == std::string::npos ? kTransparent
                                      : std::strtol(line.c_str() + hash + 1, nullptr, 16);
    }
    std::vector<long> pixels;
    for (int y = 0; y < cy; ++y) {
        const std::string row = image.xpm[1 + nColours + y];
        for (int x = 0; x < cx; ++x)
            pixels.push_back(colours.at(row.substr(size_t(x * nChars), size_t(nChars))));
    }
    return pixels;
}

// An RT_ICON image: BITMAPINFOHEADER with twice the height, 16 palette entries, 4-bit
// colour rows and 1-bit mask rows, both from the bottom up, 32-bit aligned.
std::vector<long> DecodeIcon4(const std::vector<BYTE>& bytes, int cx, int cy) {
    Reader r(bytes.data(), bytes.size());
    const DWORD biSize = r.Dword();
    const LONG biWidth = LONG(r.Dword()), biHeight = LONG(r.Dword());
    const WORD biPlanes = r.Word(), biBitCount = r.Word();
    const DWORD biCompression = r.Dword();
    EXPECT_EQ(biSize, 40u);
    EXPECT_EQ(biWidth, cx);
    EXPECT_EQ(biHeight, 2 * cy);
    EXPECT_EQ(biPlanes, 1);
    EXPECT_EQ(biBitCount, 4);
    EXPECT_EQ(biCompression, DWORD(BI_RGB));
    r.Seek(biSize);
    for (int i = 0; i < 16; ++i) {
        const DWORD bgr0 = r.Dword();
        EXPECT_EQ(bgr0, kPalette[i]) << "palette entry " << i;
    }
    const size_t colourStride = size_t((cx * 4 + 31) / 32 * 4),
                 maskStride = size_t((cx + 31) / 32 * 4);
    const size_t colourStart = r.Pos(), maskStart = colourStart + colourStride * size_t(cy);
    EXPECT_EQ(bytes.size(), maskStart + maskStride * size_t(cy));
    std::vector<long> pixels;
    if (bytes.size() < maskStart + maskStride * size_t(cy))
        return pixels;
    for (int y = 0; y < cy; ++y) {
        const size_t row = size_t(cy - 1 - y);
        for (int x = 0; x < cx; ++x) {
            const BYTE mask = bytes[maskStart + row * maskStride + size_t(x / 8)];
            const BYTE pair = bytes[colourStart + row * colourStride + size_t(x / 2)];
            const int index = x % 2 ? pair & 0x0F : pair >> 4;
            pixels.push_back(mask & (0x80 >> (x % 8)) ? kTransparent : long(kPalette[index]));
        }
    }
    return pixels;
}

void ExpectSamePicture(const std::vector<long>& actual, const std::vector<long>& expected, int cx) {
    ASSERT_EQ(actual.size(), expected.size());
    int nWrong = 0;
    for (size_t i = 0; i < actual.size() && nWrong < 5; ++i) {
        if (actual[i] != expected[i]) {
            ++nWrong;
            ADD_FAILURE() << "pixel " << i % size_t(cx) << "," << i / size_t(cx) << ": " << std::hex
                          << actual[i] << " instead of " << expected[i];
        }
    }
}

TEST_F(ExeResourceTest, IconGroupHoldsTheTwoSixteenColourImagesOfTheRows) {
    const IconGroup* pGroup = FindIconGroup(IDI_APPICON);
    ASSERT_NE(pGroup, nullptr);
    const std::vector<BYTE> dir = Resource(RT_GROUP_ICON, IDI_APPICON, pGroup->wLanguage);
    Reader r(dir.data(), dir.size());
    EXPECT_EQ(r.Word(), 0);
    EXPECT_EQ(r.Word(), 1); // icons, not cursors
    ASSERT_EQ(r.Word(), pGroup->nImages);
    for (int i = 0; i < pGroup->nImages; ++i) {
        const IconImage& image = pGroup->pImages[i];
        SCOPED_TRACE(std::to_string(image.cx) + " x " + std::to_string(image.cy));
        // GRPICONDIRENTRY
        EXPECT_EQ(r.Byte(), image.cx);
        EXPECT_EQ(r.Byte(), image.cy);
        EXPECT_EQ(r.Byte(), image.nColors);
        EXPECT_EQ(r.Byte(), 0);
        EXPECT_EQ(r.Word(), 1); // planes
        EXPECT_EQ(r.Word(), 4); // bits per pixel
        const DWORD dwBytes = r.Dword();
        const WORD nIconID = r.Word();
        const std::vector<BYTE> bits = Resource(RT_ICON, nIconID, pGroup->wLanguage);
        ASSERT_EQ(bits.size(), dwBytes) << "image " << nIconID;
        ExpectSamePicture(DecodeIcon4(bits, image.cx, image.cy), RowPixels(image), image.cx);
    }
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(r.Pos(), dir.size());
}

// The system's own choice of image for each size finds the image of that size.
TEST_F(ExeResourceTest, SystemPicksTheImageOfEachSize) {
    const IconGroup* pGroup = FindIconGroup(IDI_APPICON);
    ASSERT_NE(pGroup, nullptr);
    std::vector<BYTE> dir = Resource(RT_GROUP_ICON, IDI_APPICON, pGroup->wLanguage);
    ASSERT_FALSE(dir.empty());
    for (int size : {32, 16}) {
        const int nIconID =
            LookupIconIdFromDirectoryEx(dir.data(), TRUE, size, size, LR_DEFAULTCOLOR);
        const std::vector<BYTE> bits = Resource(RT_ICON, UINT(nIconID), pGroup->wLanguage);
        ASSERT_GE(bits.size(), 12u) << size;
        EXPECT_EQ(LONG(bits[4] | bits[5] << 8), size); // biWidth
        std::vector<BYTE> copy = bits;
        HICON hIcon = CreateIconFromResourceEx(copy.data(), DWORD(copy.size()), TRUE, 0x00030000,
                                               size, size, LR_DEFAULTCOLOR);
        EXPECT_NE(hIcon, nullptr) << size;
        if (hIcon)
            DestroyIcon(hIcon);
    }
}

// --- The string table ---------------------------------------------------------------

TEST_F(ExeResourceTest, StringBlockHoldsTheRowsStringsAndNoOthers) {
    const UINT nBlock = IDS_INFOMENU / 16;
    const std::vector<BYTE> bytes = Resource(RT_STRING, nBlock + 1, LANG_GERMAN_GERMANY);
    ASSERT_FALSE(bytes.empty());
    Reader r(bytes.data(), bytes.size());
    for (UINT i = 0; i < 16; ++i) {
        const UINT nID = nBlock * 16 + i;
        std::wstring text;
        for (WORD n = r.Word(); n > 0 && r.Ok(); --n)
            text += wchar_t(r.Word());
        EXPECT_EQ(Utf8(text), Utf8(From1252(FindStringResource(nID)))) << "string " << nID;
    }
    EXPECT_TRUE(r.Ok());
    // The platform's own lookup gives the row's Windows-1252 bytes.
    char buffer[256] = "";
    EXPECT_GT(LoadStringA(s_hModule, IDS_INFOMENU, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, FindStringResource(IDS_INFOMENU));
    EXPECT_STREQ(buffer, "Inf&o \xFC"
                         "ber Korvanto...");
}

// --- The version block --------------------------------------------------------------

// What Explorer shows: the version block as GetFileVersionInfo and VerQueryValue give it.
class VersionResourceTest : public ExeResourceTest {
protected:
    void SetUp() override {
        ExeResourceTest::SetUp();
        DWORD dwHandle = 0;
        const DWORD n = GetFileVersionInfoSizeA(g_exePath.c_str(), &dwHandle);
        ASSERT_GT(n, 0u) << "error " << GetLastError();
        m_block.resize(n);
        ASSERT_TRUE(GetFileVersionInfoA(g_exePath.c_str(), 0, n, m_block.data()));
    }
    bool Query(const char* path, void*& p, UINT& n) {
        return VerQueryValueA(m_block.data(), path, &p, &n) && p;
    }
    std::vector<BYTE> m_block;
};

TEST_F(VersionResourceTest, FixedPartEqualsTheRows) {
    void* p = nullptr;
    UINT n = 0;
    ASSERT_TRUE(Query("\\", p, n));
    ASSERT_EQ(n, sizeof(VS_FIXEDFILEINFO));
    const VS_FIXEDFILEINFO& f = *static_cast<const VS_FIXEDFILEINFO*>(p);
    const VersionFixedInfo& row = GetVersionInfo().fixed;
    EXPECT_EQ(f.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(f.dwFileVersionMS, DWORD(row.wFileVersion[0] << 16 | row.wFileVersion[1]));
    EXPECT_EQ(f.dwFileVersionLS, DWORD(row.wFileVersion[2] << 16 | row.wFileVersion[3]));
    EXPECT_EQ(f.dwProductVersionMS, DWORD(row.wProductVersion[0] << 16 | row.wProductVersion[1]));
    EXPECT_EQ(f.dwProductVersionLS, DWORD(row.wProductVersion[2] << 16 | row.wProductVersion[3]));
    EXPECT_EQ(f.dwFileFlagsMask, row.dwFileFlagsMask);
    EXPECT_EQ(f.dwFileFlags, row.dwFileFlags);
    EXPECT_EQ(f.dwFileOS, row.dwFileOS);
    EXPECT_EQ(f.dwFileType, row.dwFileType);
    EXPECT_EQ(f.dwFileSubtype, row.dwFileSubtype);
    EXPECT_EQ(f.dwFileDateMS, row.dwFileDateMS);
    EXPECT_EQ(f.dwFileDateLS, row.dwFileDateLS);
    // The program's description: 1.0.0.1, both; a Win32 application.
    EXPECT_EQ(f.dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(f.dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(f.dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(f.dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(f.dwFileFlagsMask, DWORD(VS_FFI_FILEFLAGSMASK));
    EXPECT_EQ(f.dwFileOS, DWORD(VOS__WINDOWS32));
    EXPECT_EQ(f.dwFileType, DWORD(VFT_APP));
}

TEST_F(VersionResourceTest, TranslationIsGermanUnicode) {
    void* p = nullptr;
    UINT n = 0;
    ASSERT_TRUE(Query("\\VarFileInfo\\Translation", p, n));
    ASSERT_EQ(n, 4u);
    const WORD* w = static_cast<const WORD*>(p);
    EXPECT_EQ(w[0], GetVersionInfo().wTranslationLanguage);
    EXPECT_EQ(w[1], GetVersionInfo().wTranslationCodePage);
    EXPECT_EQ(w[0], 0x0407);
    EXPECT_EQ(w[1], 0x04B0);
}

TEST_F(VersionResourceTest, EachStringAsTheShellAsksForIt) {
    const VersionInfo& v = GetVersionInfo();
    for (int i = 0; i < v.nStrings; ++i) {
        const std::string path =
            std::string("\\StringFileInfo\\") + v.lpszStringTableKey + "\\" + v.pStrings[i].lpszKey;
        void* p = nullptr;
        UINT n = 0;
        ASSERT_TRUE(Query(path.c_str(), p, n)) << path;
        EXPECT_STREQ(static_cast<const char*>(p), v.pStrings[i].lpszValue) << path;
    }
    // The values the program's description names.
    void* p = nullptr;
    UINT n = 0;
    ASSERT_TRUE(Query("\\StringFileInfo\\040704b0\\FileVersion", p, n));
    EXPECT_STREQ(static_cast<const char*>(p), "11.01.99");
    ASSERT_TRUE(Query("\\StringFileInfo\\040704b0\\OriginalFilename", p, n));
    EXPECT_STREQ(static_cast<const char*>(p), "Korvanto.exe");
    ASSERT_TRUE(Query("\\StringFileInfo\\040704b0\\ProductVersion", p, n));
    EXPECT_STREQ(static_cast<const char*>(p), "1.0");
}

// One node of the block: wLength, wValueLength, wType, key, value, children.
struct VersionNode {
    std::wstring strKey;
    std::wstring strText; // the value of a text node
    std::vector<VersionNode> children;
};

bool ParseVersionNode(Reader& r, size_t end, VersionNode& node) {
    const size_t start = r.Pos();
    const WORD wLength = r.Word(), wValueLength = r.Word(), wType = r.Word();
    const size_t nodeEnd = start + wLength;
    if (!r.Ok() || wLength < 6 || nodeEnd > end)
        return false;
    node.strKey = r.String();
    r.AlignDword();
    if (wType == 1 && wValueLength > 0) { // text: wValueLength characters
        const size_t valueEnd = r.Pos() + 2u * wValueLength;
        for (WORD c = r.Word(); c != 0 && r.Pos() <= valueEnd; c = r.Word())
            node.strText += wchar_t(c);
        r.Seek(valueEnd);
    } else {
        r.Seek(r.Pos() + wValueLength);
    }
    r.AlignDword();
    while (r.Ok() && r.Pos() < nodeEnd) {
        node.children.emplace_back();
        if (!ParseVersionNode(r, nodeEnd, node.children.back()))
            return false;
        r.AlignDword();
    }
    r.Seek(nodeEnd);
    return r.Ok();
}

// The raw block: one string table under its key, the values in the rows' order, and
// nothing in VarFileInfo but the translation.
TEST_F(ExeResourceTest, VersionBlockHasOneStringTableInTheRowsOrder) {
    const std::vector<BYTE> bytes = Resource(RT_VERSION, VS_VERSION_INFO, LANG_GERMAN_GERMANY);
    ASSERT_FALSE(bytes.empty());
    Reader r(bytes.data(), bytes.size());
    VersionNode root;
    ASSERT_TRUE(ParseVersionNode(r, bytes.size(), root));
    EXPECT_EQ(Utf8(root.strKey), "VS_VERSION_INFO");
    ASSERT_EQ(root.children.size(), 2u);
    const VersionNode& strings = root.children[0];
    const VersionNode& vars = root.children[1];
    EXPECT_EQ(Utf8(strings.strKey), "StringFileInfo");
    EXPECT_EQ(Utf8(vars.strKey), "VarFileInfo");
    ASSERT_EQ(vars.children.size(), 1u);
    EXPECT_EQ(Utf8(vars.children[0].strKey), "Translation");

    const VersionInfo& v = GetVersionInfo();
    ASSERT_EQ(strings.children.size(), 1u);
    const VersionNode& table = strings.children[0];
    EXPECT_EQ(Utf8(table.strKey), v.lpszStringTableKey);
    EXPECT_EQ(Utf8(table.strKey), "040704b0");
    ASSERT_EQ(table.children.size(), size_t(v.nStrings));
    for (int i = 0; i < v.nStrings; ++i) {
        EXPECT_EQ(Utf8(table.children[size_t(i)].strKey), v.pStrings[i].lpszKey);
        EXPECT_EQ(Utf8(table.children[size_t(i)].strText), Utf8(From1252(v.pStrings[i].lpszValue)))
            << v.pStrings[i].lpszKey;
    }
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: korvanto-resource-test [gtest options] korvanto.exe\n");
        return 2;
    }
    g_exePath = argv[1];
    return RUN_ALL_TESTS();
}
