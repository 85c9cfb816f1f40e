// CString on Windows: searches and trims by characters of the ANSI code page, case by
// the system's mapping. The Windows-1252 cases run in the harness's locale; the
// double-byte cases run in a second process whose locale gives code page 932
// (Shift-JIS), where a trail byte can equal '\\', '/' or an ASCII letter.
#include <climits>
#include <gtest/gtest.h>
#include <string>

#include "kernel/CString.h"

namespace {

std::string Str(const CString& s) {
    return std::string(s, static_cast<size_t>(s.GetLength()));
}

TEST(CStringBasics, ValueSemanticsAndEmbeddedNulBytes) {
    CString a("COM2");
    CString b(a);
    b += "x";
    EXPECT_EQ(Str(a), "COM2");
    EXPECT_EQ(Str(b), "COM2x");
    a = static_cast<LPCSTR>(a) + 1; // assigning from its own buffer
    EXPECT_EQ(Str(a), "OM2");
    a += a;
    EXPECT_EQ(Str(a), "OM2OM2");
    EXPECT_EQ(Str(CString("a\0b", 3)), std::string("a\0b", 3));
    EXPECT_TRUE(CString("a\0b", 3) != "a");
    EXPECT_TRUE(CString("z") < CString("\xE4")); // bytes compare unsigned
    EXPECT_EQ(CString("ab").GetAt(2), '\0');
    EXPECT_EQ(Str(CString("abcdef").Mid(-3, 2)), "ab");
    EXPECT_EQ(Str(CString("abcdef").Mid(4, INT_MAX)), "ef");
    EXPECT_EQ(Str(CString("abcdef").Right(10)), "abcdef");
    EXPECT_EQ(Str(CString("abcdef").Left(INT_MIN)), "");
}

// --- Windows-1252: every byte is a character of its own ------------------------------

class CString1252 : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(GetACP(), 1252u) << "the harness pins LC_ALL=C.UTF-8"; }
};

TEST_F(CString1252, SearchesSeeEveryByte) {
    EXPECT_EQ(CString("\xE4/COM1").Find('/'), 1);
    EXPECT_EQ(CString("a\xE4").Find('\xE4'), 1);
    EXPECT_EQ(CString("\xC3\xA4").Find('\xA4'), 1); // no UTF-8 here
    EXPECT_EQ(CString("\xE4\xE4/TEST").Find("/TEST"), 2);
    EXPECT_EQ(CString("x\xA0y\xA0").ReverseFind('\xA0'), 3);
}

TEST_F(CString1252, TrimsOnlyTheSixBlanks) {
    CString s("\xA0 \t\xE4 \r\n");
    s.TrimLeft();
    EXPECT_EQ(Str(s), "\xA0 \t\xE4 \r\n"); // the no-break space is no blank
    s.TrimRight();
    EXPECT_EQ(Str(s), "\xA0 \t\xE4");
}

struct CaseMapCase {
    const char* text;
    const char* upper;
    const char* lower;
};

class CString1252Case : public CString1252, public ::testing::WithParamInterface<CaseMapCase> {};

TEST_P(CString1252Case, BySystemMapping) {
    const CaseMapCase& c = GetParam();
    CString upper(c.text);
    upper.MakeUpper();
    EXPECT_EQ(Str(upper), c.upper);
    CString lower(c.text);
    lower.MakeLower();
    EXPECT_EQ(Str(lower), c.lower);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CString1252Case,
    ::testing::Values(CaseMapCase{"/com1 /Write f.bin", "/COM1 /WRITE F.BIN", "/com1 /write f.bin"},
                      CaseMapCase{"\xE4\xF6\xFC\xC4", "\xC4\xD6\xDC\xC4",
                                  "\xE4\xF6\xFC\xE4"}, // äöüÄ
                      CaseMapCase{"stra\xDF"
                                  "e",
                                  "STRA\xDF"
                                  "E",
                                  "stra\xDF"
                                  "e"},                                // ß has no capital
                      CaseMapCase{"\xFF\x9A", "\x9F\x8A", "\xFF\x9A"}, // ÿš -> ŸŠ
                      CaseMapCase{"123 !\"%", "123 !\"%", "123 !\"%"}, CaseMapCase{"", "", ""}));

TEST_F(CString1252, CaseMappingKeepsEmbeddedNulBytes) {
    CString s("a\0\xE4", 3);
    s.MakeUpper();
    EXPECT_EQ(Str(s), std::string("A\0\xC4", 3));
}

// --- Code page 932: a lead byte and its trail byte are one character -----------------

// "表" is 0x95 0x5C: its trail byte is a backslash. "ｱ" (0xB1) is a single byte.
// "Ｂ" is 0x82 0x61: its trail byte is a lower-case 'a'.
class CString932 : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8"; }
};

struct FindCharCase {
    const char* text;
    char ch;
    int nStart; // INT_MIN: Find(ch) without a start
    int expected;
};

class CString932FindChar : public CString932, public ::testing::WithParamInterface<FindCharCase> {};

TEST_P(CString932FindChar, ByCharacters) {
    const FindCharCase& c = GetParam();
    const CString s(c.text);
    EXPECT_EQ(c.nStart == INT_MIN ? s.Find(c.ch) : s.Find(c.ch, c.nStart), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, CString932FindChar,
                         ::testing::Values(FindCharCase{"\x95\x5C", '\\', INT_MIN, -1},
                                           FindCharCase{"\x95\x5C\\", '\\', INT_MIN, 2},
                                           FindCharCase{"\x95\x5C\\", '\\', 1, 2},
                                           FindCharCase{"\xB1\\", '\\', INT_MIN, 1},
                                           FindCharCase{"\x82\x61"
                                                        "a",
                                                        'a', INT_MIN, 2},
                                           // a lead byte at the end is a character alone
                                           FindCharCase{"a\x95", '\x95', INT_MIN, 1}));

TEST_F(CString932, SubstringsAndReverseSearchByCharacters) {
    EXPECT_EQ(CString("\x95\x5C"
                      "COM1")
                  .Find("\\COM1"),
              -1);
    EXPECT_EQ(CString("\x95\x5C\\COM1").Find("\\COM1"), 2);
    EXPECT_EQ(CString("\x95\x5C\x95\x5C").Find("\x5C\x95"), -1); // straddles two characters
    EXPECT_EQ(CString("C:\\\x95\x5C").ReverseFind('\\'), 2);
}

TEST_F(CString932, TrimsAroundDoubleByteCharacters) {
    CString s(" \x95\x5C ");
    s.TrimLeft();
    s.TrimRight();
    EXPECT_EQ(Str(s), "\x95\x5C");
}

TEST_F(CString932, CaseLeavesTrailBytesAlone) {
    CString s("\x82\x61/com1 \x95\x5C");
    s.MakeUpper();
    EXPECT_EQ(Str(s), "\x82\x61/COM1 \x95\x5C");
    CString t("\x83\x41/COM1"); // "ア": its trail byte is an upper-case 'A'
    t.MakeLower();
    EXPECT_EQ(Str(t), "\x83\x41/com1");
}

} // namespace
