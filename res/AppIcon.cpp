#include "res/IconData.h"

#include "res/resource.h"

// IDI_APPICON, 32 x 32: a white square with transparent corners; "89" in bright blue at
// the upper left, "2051" in dark blue across the lower half, a large red C behind the
// digits from the top middle down to the bottom.
static const char* const kAppIcon32[] = {
    "32 32 17 1",
    "0 c #000000",
    "1 c #800000",
    "2 c #008000",
    "3 c #808000",
    "4 c #000080",
    "5 c #800080",
    "6 c #008080",
    "7 c #C0C0C0",
    "8 c #808080",
    "9 c #FF0000",
    "a c #00FF00",
    "b c #FFFF00",
    "c c #0000FF",
    "d c #FF00FF",
    "e c #00FFFF",
    "f c #FFFFFF",
    "  c None",
    "  ffffffffffffffff99ffffffffff  ",
    " fffffffffffff9999999999fffffff ",
    "ffffffffffff99999999999999ffffff",
    "ffccccccfcccccc999999999999fffff",
    "ffccccccfcccccc9999999999999ffff",
    "ffccffccfcc99cc9ffffff9999999fff",
    "ffccffccfcc99ccfffffffff99999fff",
    "ffcccccc9ccccccffffffffff99999ff",
    "ffcccccc9ccccccffffffffff99999ff",
    "ffccffcc9999fccfffffffffff99999f",
    "ffccffcc9999fccfffffffffff99999f",
    "ffcccccc9ccccccfffffffffffffffff",
    "ffcccccc9ccccccfffffffffffffffff",
    "ffffff99999fffffffffffffffffffff",
    "ffffff99999fffffffffffffffffffff",
    "ffffff99999fffffffffffffffffffff",
    "ffffff99999fffffffffffffffffffff",
    "ffffff99999fffffffffffffffffffff",
    "ffffff99999fffffffffffffffffffff",
    "ff4444449444444f444444fff44fffff",
    "ff4444449444444f444444fff44fffff",
    "ffffff449449f44f44fffff44449999f",
    "ffffff449449f44f44fffff44449999f",
    "ff4444449449944f444444fff44999ff",
    "ff4444449449944f444444fff44999ff",
    "ff44fffff449944fffff44ff94499fff",
    "ff44fffff4499449ffff449994499fff",
    "ff444444f44444494444449444444fff",
    "ff444444f44444494444449444444fff",
    "ffffffffffff99999999999999ffffff",
    " fffffffffffff9999999999fffffff ",
    "  ffffffffffffffff99ffffffffff  ",
};

// IDI_APPICON, 16 x 16: a white square; "89" in bright blue and a red C in the upper half,
// "2051" in dark blue in the lower half.
static const char* const kAppIcon16[] = {
    "16 16 16 1",       "0 c #000000",      "1 c #800000",      "2 c #008000",
    "3 c #808000",      "4 c #000080",      "5 c #800080",      "6 c #008080",
    "7 c #C0C0C0",      "8 c #808080",      "9 c #FF0000",      "a c #00FF00",
    "b c #FFFF00",      "c c #0000FF",      "d c #FF00FF",      "e c #00FFFF",
    "f c #FFFFFF",      "ffffffffffffffff", "fcccfcccff999fff", "fcfcfcfcff9fffff",
    "fcccfcccff9fffff", "fcfcfffcff9fffff", "fcccfcccff999fff", "ffffffffffffffff",
    "ffffffffffffffff", "ffffffffffffffff", "444f444f444ff4ff", "ff4f4f4f4fff44ff",
    "444f4f4f444ff4ff", "4fff4f4fff4ff4ff", "444f444f444f444f", "ffffffffffffffff",
    "ffffffffffffffff",
};

static const IconImage kAppIconImages[] = {
    {32, 32, 16, kAppIcon32},
    {16, 16, 16, kAppIcon16},
};

// Language-neutral.
static const IconGroup kIcons[] = {
    {IDI_APPICON, LANG_NEUTRAL_DEFAULT, kAppIconImages, 2},
};

const IconGroup* FindIconGroup(UINT nID) {
    for (const IconGroup& g : kIcons) {
        if (g.nID == nID)
            return &g;
    }
    return nullptr;
}
