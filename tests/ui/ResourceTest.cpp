// The resources: the icon's two images, the string table, the version block.
#include <QColor>
#include <QImage>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <set>

#include "res/IconData.h"
#include "res/VersionInfo.h"
#include "res/resource.h"
#include "ui/CWinApp.h"
#include "ui/internal/Handles.h"

namespace {

// The standard 16-colour palette.
const std::set<QRgb> kPalette = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
};

struct IconCase {
    int nSize;
    std::set<std::pair<int, int>> transparent; // x, y
};

class IconImageTest : public ::testing::TestWithParam<IconCase> {};

TEST_P(IconImageTest, SizePaletteTransparencyAndPicture) {
    const IconCase& c = GetParam();
    HICON hIcon = AfxGetApp()->LoadIcon(IDI_APPICON);
    ASSERT_NE(hIcon, nullptr);
    ASSERT_EQ(hIcon->images.size(), 2u);
    QImage image = hIcon->ImageFor(c.nSize).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(c.nSize, c.nSize));
    std::set<QRgb> used;
    for (int y = 0; y < c.nSize; ++y) {
        for (int x = 0; x < c.nSize; ++x) {
            QRgb p = image.pixel(x, y);
            bool bTransparent = qAlpha(p) == 0;
            EXPECT_EQ(bTransparent, c.transparent.count({x, y}) == 1) << x << "," << y;
            if (!bTransparent) {
                EXPECT_EQ(kPalette.count(p), 1u) << std::hex << p;
                used.insert(p);
            }
        }
    }
    // White ground, bright blue "89", dark blue "2051", the red C.
    for (QRgb colour : {0xFFFFFFFFu, 0xFF0000FFu, 0xFF000080u, 0xFFFF0000u})
        EXPECT_EQ(used.count(colour), 1u) << std::hex << colour;
}

INSTANTIATE_TEST_SUITE_P(Images, IconImageTest,
                         ::testing::Values(IconCase{32,
                                                    {{0, 0},
                                                     {1, 0},
                                                     {30, 0},
                                                     {31, 0},
                                                     {0, 1},
                                                     {31, 1},
                                                     {0, 30},
                                                     {31, 30},
                                                     {0, 31},
                                                     {1, 31},
                                                     {30, 31},
                                                     {31, 31}}},
                                           IconCase{16, {}}));

TEST(IconDataTest, EachImageDeclaresSixteenColours) {
    const IconGroup* pGroup = FindIconGroup(IDI_APPICON);
    ASSERT_NE(pGroup, nullptr);
    EXPECT_EQ(pGroup->wLanguage, 0x0400);
    for (int i = 0; i < pGroup->nImages; ++i) {
        const IconImage& image = pGroup->pImages[i];
        EXPECT_EQ(image.nColors, 16);
        int w = 0, h = 0, nColours = 0, nChars = 0;
        ASSERT_EQ(std::sscanf(image.xpm[0], "%d %d %d %d", &w, &h, &nColours, &nChars), 4);
        EXPECT_EQ(w, image.cx);
        EXPECT_EQ(h, image.cy);
        // The colour table: the 16 palette colours, plus "None" for the mask if any.
        int nPalette = 0;
        for (int k = 1; k <= nColours; ++k)
            nPalette += std::strstr(image.xpm[k], "None") ? 0 : 1;
        EXPECT_EQ(nPalette, 16);
    }
}

struct StringCase {
    UINT nID;
    BOOL bFound;
    const char* pszText;
};

class LoadStringTest : public ::testing::TestWithParam<StringCase> {};

TEST_P(LoadStringTest, FromTheStringTable) {
    const StringCase& c = GetParam();
    CString s("vorher");
    EXPECT_EQ(s.LoadString(c.nID), c.bFound);
    EXPECT_STREQ(s, c.pszText);
}

INSTANTIATE_TEST_SUITE_P(Cases, LoadStringTest,
                         ::testing::Values(StringCase{IDS_INFOMENU, TRUE, "Inf&o über Korvanto..."},
                                           StringCase{AFX_IDS_APP_TITLE, FALSE, ""},
                                           StringCase{4711, FALSE, ""}));

TEST(VersionInfoTest, FixedPartStringsInOrderAndTranslation) {
    const VersionInfo& v = GetVersionInfo();
    const WORD dotted[4] = {1, 0, 0, 1};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(v.fixed.wFileVersion[i], dotted[i]);
        EXPECT_EQ(v.fixed.wProductVersion[i], dotted[i]);
    }
    EXPECT_EQ(v.fixed.dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(v.fixed.dwFileOS, 0x4u);
    EXPECT_EQ(v.fixed.dwFileType, 0x1u);
    EXPECT_STREQ(v.lpszStringTableKey, "040704b0");
    EXPECT_EQ(v.wTranslationLanguage, 0x0407);
    EXPECT_EQ(v.wTranslationCodePage, 0x04B0);
    const char* keys[] = {"Comments",         "CompanyName",  "FileDescription",
                          "FileVersion",      "InternalName", "LegalCopyright",
                          "OriginalFilename", "ProductName",  "ProductVersion"};
    ASSERT_EQ(v.nStrings, 9);
    for (int i = 0; i < 9; ++i)
        EXPECT_STREQ(v.pStrings[i].lpszKey, keys[i]);
    // The text version is a date, unlike the fixed part.
    EXPECT_STREQ(FindVersionString("FileVersion"), "11.01.99");
    EXPECT_STREQ(FindVersionString("ProductVersion"), "1.0");
    EXPECT_STREQ(FindVersionString("OriginalFilename"), "Korvanto.exe");
    EXPECT_EQ(FindVersionString("Nichts"), nullptr);
}

} // namespace
