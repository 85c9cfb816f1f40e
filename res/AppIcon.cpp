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
    "  ffffffffffffffffffffffffffff  ",
    " ffffffffffffffff999999ffffffff ",
    "fffffffffffffff9999999999fffffff",
    "ffccccccfcccccc99999999999ffffff",
    "ffccccccfcccccc999999999999fffff",
    "ffccffccfccf9cc999ffff999999ffff",
    "ffccffccfcc99cc9ffffffff99999fff",
    "ffccccccfccccccffffffffff9999fff",
    "ffccccccfccccccffffffffff99999ff",
    "ffccffccff999ccfffffffffff9999ff",
    "ffccffccf9999ccfffffffffff99999f",
    "ffccccccfccccccfffffffffffffffff",
    "ffccccccfccccccfffffffffffffffff",
    "fffffffff9999fffffffffffffffffff",
    "fffffffff9999fffffffffffffffffff",
    "fffffffff9999fffffffffffffffffff",
    "fffffffff9999fffffffffffffffffff",
    "fffffffff9999fffffffffffffffffff",
    "fffffffff9999fffffffffffffffffff",
    "ff444444f444444f444444fff44fffff",
    "ff444444f444444f444444fff44fffff",
    "ffffff44f449944f44fffff44449999f",
    "ffffff44f449944f44fffff4444999ff",
    "ff444444f449944f444444fff44999ff",
    "ff444444f449944f444444fff4499fff",
    "ff44fffff4499449ffff44ff94499fff",
    "ff44fffff44f944999ff44999449ffff",
    "ff444444f44444494444449444444fff",
    "ff444444f44444494444449444444fff",
    "fffffffffffffff9999999999fffffff",
    " ffffffffffffffff999999ffffffff ",
    "  ffffffffffffffffffffffffffff  ",
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
