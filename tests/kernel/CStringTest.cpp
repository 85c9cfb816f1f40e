// CString: clamping, searches and trims by characters, upper-casing by the locale.
#include <cctype>
#include <climits>
#include <gtest/gtest.h>
#include <string>
#include <tuple>

#include "KernelTestSupport.h"
#include "kernel/CString.h"

namespace {

std::string Str(const CString& s) {
    return std::string(s, static_cast<size_t>(s.GetLength()));
}

// Searches and trims run under a UTF-8 locale, as the program does under the user's.
class CStringUtf8 : public ::testing::Test {
protected:
    ktest::ScopedLocale m_locale{"C.UTF-8"};
    void SetUp() override { ASSERT_TRUE(m_locale.ok()); }
};

TEST(CStringBasics, ConstructionFromPointersCountsAndCharacters) {
    EXPECT_EQ(Str(CString(static_cast<LPCSTR>(nullptr))), "");
    EXPECT_EQ(Str(CString("abc", 2)), "ab");
    EXPECT_EQ(Str(CString("abc", -1)), "");
    EXPECT_EQ(Str(CString(static_cast<LPCSTR>(nullptr), 3)), "");
    EXPECT_EQ(Str(CString("a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(Str(CString('x', 3)), "xxx");
    EXPECT_EQ(Str(CString('x', -2)), "");
    EXPECT_EQ(Str(CString('x')), "x");
}

TEST(CStringBasics, ValueSemantics) {
    CString a("COM2");
    CString b(a);
    b += "x";
    EXPECT_EQ(Str(a), "COM2");
    EXPECT_EQ(Str(b), "COM2x");
    a = b;
    b.Empty();
    EXPECT_EQ(Str(a), "COM2x");
    EXPECT_TRUE(b.IsEmpty());
    a = static_cast<LPCSTR>(a) + 1; // assigning from its own buffer
    EXPECT_EQ(Str(a), "OM2x");
    a += a;
    EXPECT_EQ(Str(a), "OM2xOM2x");
    a = 'q';
    EXPECT_EQ(Str(a), "q");
    a = static_cast<LPCSTR>(nullptr);
    EXPECT_TRUE(a.IsEmpty());
}

TEST(CStringBasics, ConcatenationAndComparison) {
    const CString s("ab");
    EXPECT_EQ(Str(s + CString("cd")), "abcd");
    EXPECT_EQ(Str(s + "cd"), "abcd");
    EXPECT_EQ(Str("cd" + s), "cdab");
    EXPECT_EQ(Str(s + '\n'), "ab\n");
    EXPECT_EQ(Str('\n' + s), "\nab");
    EXPECT_EQ(Str(s + static_cast<LPCSTR>(nullptr)), "ab");

    EXPECT_TRUE(s == "ab");
    EXPECT_TRUE("ab" == s);
    EXPECT_TRUE(s == CString("ab"));
    EXPECT_TRUE(s != "abc");
    EXPECT_TRUE("a" != s);
    EXPECT_TRUE(CString("a\0b", 3) != CString("a"));
    EXPECT_TRUE(CString("a\0b", 3) != "a");
    EXPECT_EQ(s.Compare("ab"), 0);
    EXPECT_LT(s.Compare("b"), 0);
    EXPECT_GT(s.Compare("aa"), 0);
    EXPECT_GT(s.Compare(nullptr), 0);
    EXPECT_TRUE(CString("COM1") < CString("COM2"));
    EXPECT_TRUE(CString("COM") < CString("COM1"));
    EXPECT_FALSE(CString("COM1") < CString("COM1"));
    EXPECT_TRUE(CString("z") < CString("\xC3\xA4")); // bytes compare unsigned
}

TEST(CStringBasics, ElementAccessOutsideIsZero) {
    const CString s("ab");
    EXPECT_EQ(s.GetLength(), 2);
    EXPECT_EQ(s.GetAt(1), 'b');
    EXPECT_EQ(s[0], 'a');
    EXPECT_EQ(s.GetAt(2), '\0');
    EXPECT_EQ(s.GetAt(-1), '\0');
    EXPECT_EQ(s[INT_MAX], '\0');
    EXPECT_STREQ(static_cast<LPCSTR>(CString()), "");
}

struct MidCase {
    int nFirst;
    int nCount; // INT_MIN: Mid(nFirst) without a count
    const char* expected;
};

class CStringMid : public ::testing::TestWithParam<MidCase> {};

TEST_P(CStringMid, ClampsStartAndCount) {
    const MidCase& c = GetParam();
    const CString s("abcdef");
    const CString r = c.nCount == INT_MIN ? s.Mid(c.nFirst) : s.Mid(c.nFirst, c.nCount);
    EXPECT_EQ(Str(r), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, CStringMid,
                         ::testing::Values(MidCase{0, 3, "abc"}, MidCase{2, 2, "cd"},
                                           MidCase{-3, 2, "ab"}, MidCase{INT_MIN + 1, 2, "ab"},
                                           MidCase{4, 10, "ef"}, MidCase{1, INT_MAX, "bcdef"},
                                           MidCase{INT_MAX, INT_MAX, ""}, MidCase{6, 1, ""},
                                           MidCase{10, 1, ""}, MidCase{2, -1, ""},
                                           MidCase{2, 0, ""}, MidCase{2, INT_MIN, "cdef"},
                                           MidCase{-1, INT_MIN, "abcdef"}, MidCase{6, INT_MIN, ""},
                                           MidCase{7, INT_MIN, ""}));

struct SideCase {
    int nCount;
    const char* left;
    const char* right;
};

class CStringLeftRight : public ::testing::TestWithParam<SideCase> {};

TEST_P(CStringLeftRight, ClampCount) {
    const SideCase& c = GetParam();
    const CString s("abcdef");
    EXPECT_EQ(Str(s.Left(c.nCount)), c.left);
    EXPECT_EQ(Str(s.Right(c.nCount)), c.right);
}

INSTANTIATE_TEST_SUITE_P(Table, CStringLeftRight,
                         ::testing::Values(SideCase{3, "abc", "def"}, SideCase{0, "", ""},
                                           SideCase{-1, "", ""}, SideCase{INT_MIN, "", ""},
                                           SideCase{6, "abcdef", "abcdef"},
                                           SideCase{10, "abcdef", "abcdef"},
                                           SideCase{INT_MAX, "abcdef", "abcdef"}));

struct FindCharCase {
    const char* text;
    char ch;
    int nStart; // INT_MIN: Find(ch) without a start
    int expected;
};

class CStringFindChar : public CStringUtf8, public ::testing::WithParamInterface<FindCharCase> {};

TEST_P(CStringFindChar, ByCharacters) {
    const FindCharCase& c = GetParam();
    const CString s(c.text);
    EXPECT_EQ(c.nStart == INT_MIN ? s.Find(c.ch) : s.Find(c.ch, c.nStart), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CStringFindChar,
    ::testing::Values(FindCharCase{"abcabc", 'b', INT_MIN, 1}, FindCharCase{"abcabc", 'b', 1, 1},
                      FindCharCase{"abcabc", 'b', 2, 4}, FindCharCase{"abcabc", 'b', 5, -1},
                      FindCharCase{"abcabc", 'a', -1, -1}, FindCharCase{"abcabc", 'a', 6, -1},
                      FindCharCase{"abcabc", 'a', INT_MAX, -1}, FindCharCase{"abc", 'z', 0, -1},
                      FindCharCase{"", 'a', INT_MIN, -1}, FindCharCase{"a b", ' ', INT_MIN, 1},
                      // the bytes of "ä" (C3 A4) are no characters of their own
                      FindCharCase{"\xC3\xA4", '\xA4', INT_MIN, -1},
                      FindCharCase{"\xC3\xA4", '\xC3', INT_MIN, -1},
                      FindCharCase{"\xC3\xA4"
                                   "b",
                                   'b', INT_MIN, 2},
                      // a start inside a character goes on at the next one
                      FindCharCase{"\xC3\xA4"
                                   "b",
                                   'b', 1, 2},
                      FindCharCase{"\xC3\xA4\xC3\xA4", '\xA4', 1, -1},
                      // a byte that is no valid sequence counts as one character
                      FindCharCase{"x\xA4", '\xA4', INT_MIN, 1},
                      FindCharCase{"\xE4\x80", '\x80', INT_MIN, 1}));

struct FindSubCase {
    const char* text;
    const char* sub;
    int nStart; // INT_MIN: Find(sub) without a start
    int expected;
};

class CStringFindSub : public CStringUtf8, public ::testing::WithParamInterface<FindSubCase> {};

TEST_P(CStringFindSub, ByCharacters) {
    const FindSubCase& c = GetParam();
    const CString s(c.text);
    EXPECT_EQ(c.nStart == INT_MIN ? s.Find(c.sub) : s.Find(c.sub, c.nStart), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CStringFindSub,
    ::testing::Values(FindSubCase{"/COM1 /WRITE", "/WRITE", INT_MIN, 6},
                      FindSubCase{"/COM1 /WRITE", "/WRITE", 6, 6},
                      FindSubCase{"/COM1 /WRITE", "/WRITE", 7, -1},
                      FindSubCase{"/COM12", "/COM1", INT_MIN, 0},
                      FindSubCase{"/COM5", "/COM", INT_MIN, 0},
                      FindSubCase{"abc", "abcd", INT_MIN, -1}, FindSubCase{"abc", "bc", -1, -1},
                      FindSubCase{"abc", "", INT_MIN, 0}, FindSubCase{"abc", "", 3, 3},
                      FindSubCase{"abc", "", 4, -1}, FindSubCase{"abc", nullptr, 1, 1},
                      FindSubCase{"", "a", INT_MIN, -1},
                      // "\xA4\xC3" straddles two characters of "ää": no match
                      FindSubCase{"\xC3\xA4\xC3\xA4", "\xA4\xC3", INT_MIN, -1},
                      FindSubCase{"\xC3\xA4/TEST", "/TEST", INT_MIN, 2}));

struct ReverseFindCase {
    const char* text;
    char ch;
    int expected;
};

class CStringReverseFind : public CStringUtf8,
                           public ::testing::WithParamInterface<ReverseFindCase> {};

TEST_P(CStringReverseFind, LastByCharacters) {
    const ReverseFindCase& c = GetParam();
    EXPECT_EQ(CString(c.text).ReverseFind(c.ch), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, CStringReverseFind,
                         ::testing::Values(ReverseFindCase{"a\"b\"c", '"', 3},
                                           ReverseFindCase{"/a/b/", '/', 4},
                                           ReverseFindCase{"abc", 'z', -1},
                                           ReverseFindCase{"", 'a', -1},
                                           ReverseFindCase{"\xC3\xA4", '\xA4', -1},
                                           ReverseFindCase{"\xC3\xA4\xA4", '\xA4', 2},
                                           ReverseFindCase{"x \xC3\xA4", ' ', 1}));

struct TrimCase {
    const char* text;
    const char* afterLeft;
    const char* afterRight;
};

class CStringTrim : public CStringUtf8, public ::testing::WithParamInterface<TrimCase> {};

TEST_P(CStringTrim, BlanksOnly) {
    const TrimCase& c = GetParam();
    CString left(c.text);
    left.TrimLeft();
    EXPECT_EQ(Str(left), c.afterLeft);
    CString right(c.text);
    right.TrimRight();
    EXPECT_EQ(Str(right), c.afterRight);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CStringTrim,
    ::testing::Values(TrimCase{"  abc  ", "abc  ", "  abc"},
                      TrimCase{"\t\n\v\f\r x \r\n", "x \r\n", "\t\n\v\f\r x"}, TrimCase{"", "", ""},
                      TrimCase{" \t ", "", ""}, TrimCase{"a b", "a b", "a b"},
                      TrimCase{" \xC3\xA4 ", "\xC3\xA4 ", " \xC3\xA4"},
                      // U+00A0 (no-break space) and U+3000 are no blanks of the list
                      TrimCase{"\xC2\xA0x\xC2\xA0", "\xC2\xA0x\xC2\xA0", "\xC2\xA0x\xC2\xA0"},
                      TrimCase{"\xE3\x80\x80x", "\xE3\x80\x80x", "\xE3\x80\x80x"},
                      // invalid bytes stay, the blanks beside them go
                      TrimCase{" \xE4 ", "\xE4 ", " \xE4"}, TrimCase{"x\xC3 ", "x\xC3 ", "x\xC3"}));

struct CaseMapCase {
    const char* text;
    const char* upper;
};

class CStringMakeUpperGerman : public ::testing::TestWithParam<CaseMapCase> {
protected:
    ktest::ScopedLocale m_locale{"de_DE.UTF-8"};
    void SetUp() override {
        ASSERT_TRUE(m_locale.ok()) << "de_DE.UTF-8 is not generated (scripts/setup does it)";
    }
};

TEST_P(CStringMakeUpperGerman, ByCharacters) {
    const CaseMapCase& c = GetParam();
    CString s(c.text);
    s.MakeUpper();
    EXPECT_EQ(Str(s), c.upper);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CStringMakeUpperGerman,
    ::testing::Values(CaseMapCase{"/com1 /write f.bin", "/COM1 /WRITE F.BIN"},
                      CaseMapCase{"\xC3\xA4\xC3\xB6\xC3\xBC", "\xC3\x84\xC3\x96\xC3\x9C"}, // äöü
                      CaseMapCase{"\xC3\x84", "\xC3\x84"},
                      CaseMapCase{"stra\xC3\x9F"
                                  "e",
                                  "STRA\xC3\x9F"
                                  "E"}, // ß has no capital here
                      CaseMapCase{"caf\xC3\xA9", "CAF\xC3\x89"},
                      CaseMapCase{"\xC3\xBF", "\xC5\xB8"}, // ÿ -> Ÿ, another byte pair
                      CaseMapCase{"\xC4\xB1x", "IX"},      // dotless ı -> I: one byte less
                      CaseMapCase{"\xE4"
                                  "bc",
                                  "\xE4"
                                  "BC"},             // Latin-1 byte: kept as it is
                      CaseMapCase{"a\xC3", "A\xC3"}, // cut-off sequence at the end
                      CaseMapCase{"\xA4z\xC3\xA4", "\xA4Z\xC3\x84"},
                      CaseMapCase{"123 !\"%", "123 !\"%"}, CaseMapCase{"", ""}));

// An ASCII letter maps to its ASCII partner in every UTF-8 locale, the Turkish and
// Azerbaijani ones included (whose own rules map i to a dotted capital and I to a
// dotless small letter); other letters keep the locale's rules.
struct AnyLocaleCase {
    const char* text;
    const char* upper;
    const char* lower;
};

void PrintTo(const AnyLocaleCase& c, std::ostream* os) {
    *os << "\"" << c.text << "\"";
}

class CStringCaseInAnyLocale
    : public ::testing::TestWithParam<std::tuple<const char*, AnyLocaleCase>> {};

TEST_P(CStringCaseInAnyLocale, AsciiLettersMapToAscii) {
    const char* locale = std::get<0>(GetParam());
    const AnyLocaleCase& c = std::get<1>(GetParam());
    ktest::ScopedLocale scoped(locale);
    ASSERT_TRUE(scoped.ok()) << locale << " is not generated (scripts/setup does it)";
    CString upper(c.text);
    upper.MakeUpper();
    EXPECT_EQ(Str(upper), c.upper);
    CString lower(c.text);
    lower.MakeLower();
    EXPECT_EQ(Str(lower), c.lower);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CStringCaseInAnyLocale,
    ::testing::Combine(
        ::testing::Values("C.UTF-8", "de_DE.UTF-8", "tr_TR.UTF-8", "az_AZ.UTF-8"),
        ::testing::Values(
            AnyLocaleCase{"/write /verify f.bin", "/WRITE /VERIFY F.BIN", "/write /verify f.bin"},
            AnyLocaleCase{"/LOCK /VERIFY /TEST I", "/LOCK /VERIFY /TEST I",
                          "/lock /verify /test i"},
            AnyLocaleCase{"iI", "II", "ii"},
            // ä, Ä: non-ASCII letters follow the locale
            AnyLocaleCase{"\xC3\xA4\xC3\x84", "\xC3\x84\xC3\x84", "\xC3\xA4\xC3\xA4"},
            // ğ, Ğ
            AnyLocaleCase{"\xC4\x9F\xC4\x9E", "\xC4\x9E\xC4\x9E", "\xC4\x9F\xC4\x9F"})),
    [](const ::testing::TestParamInfo<std::tuple<const char*, AnyLocaleCase>>& info) {
        std::string name = std::get<0>(info.param);
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name + "_" + std::to_string(info.index);
    });

TEST(CStringMakeUpperC, OnlyAsciiInTheCLocale) {
    ktest::ScopedLocale c("C");
    ASSERT_TRUE(c.ok());
    CString s("\xC3\xA4/com1");
    s.MakeUpper();
    EXPECT_EQ(Str(s), "\xC3\xA4/COM1");
}

TEST(CStringMakeLower, ByCharacters) {
    ktest::ScopedLocale german("de_DE.UTF-8");
    ASSERT_TRUE(german.ok());
    CString s("\xC3\x84"
              "BC/COM1 \xE4");
    s.MakeLower();
    EXPECT_EQ(Str(s), "\xC3\xA4"
                      "bc/com1 \xE4");
}

TEST(CStringMakeUpper, KeepsEmbeddedNulBytes) {
    ktest::ScopedLocale utf8("C.UTF-8");
    ASSERT_TRUE(utf8.ok());
    CString s("a\0b", 3);
    s.MakeUpper();
    EXPECT_EQ(Str(s), std::string("A\0B", 3));
}

} // namespace
