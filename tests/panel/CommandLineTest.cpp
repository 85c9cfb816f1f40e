// The command line on the real panel: what each command line leaves in the image path,
// the field (which shows lower case), the port, the radios, the six boxes and the
// enabled state of write and verify once the panel is open. Every case runs under the
// locales whose case rules differ for ASCII letters (Turkish, Azerbaijani: "i" upper-cases
// to a dotted capital there) as well as under German: the option words are ASCII.
#include <cctype>
#include <clocale>
#include <gtest/gtest.h>
#include <string>
#include <tuple>

#include "tests/panel/PanelTestSupport.h"

namespace {

struct CmdLineCase {
    const char* name;
    const char* cmdLine; // the whole command line, program path first
    const char* image;   // m_strImagePath
    const char* field;   // the field's text
    const char* port;    // m_strPort
    unsigned radios;
    unsigned boxes;
    bool bWriteVerifyEnabled;
};

void PrintTo(const CmdLineCase& c, std::ostream* os) {
    *os << c.name << ": " << c.cmdLine;
}

// The process's locale for the length of a test.
class LocaleScope {
public:
    explicit LocaleScope(const char* name) {
        const char* old = std::setlocale(LC_ALL, nullptr);
        m_old = old ? old : "C";
        m_ok = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~LocaleScope() { std::setlocale(LC_ALL, m_old.c_str()); }
    bool ok() const { return m_ok; }

private:
    std::string m_old;
    bool m_ok;
};

class CommandLineTest : public ::testing::TestWithParam<std::tuple<const char*, CmdLineCase>> {
protected:
    CommandLineScope m_cmdLine;
};

TEST_P(CommandLineTest, PreselectsThePanel) {
    const char* locale = std::get<0>(GetParam());
    const CmdLineCase& c = std::get<1>(GetParam());
    LocaleScope scoped(locale);
    ASSERT_TRUE(scoped.ok()) << locale << " is not generated (scripts/setup does it)";
    m_cmdLine.Set(c.cmdLine);
    TestPanel panel;
    RunPanel(panel, [&]() {
        EXPECT_STREQ(panel.m_strImagePath, c.image);
        EXPECT_EQ(panel.FieldText(), c.field);
        EXPECT_STREQ(panel.m_strPort, c.port);
        EXPECT_EQ(panel.Radios(), c.radios);
        EXPECT_EQ(BoxNames(panel.Boxes()), BoxNames(c.boxes));
        EXPECT_EQ(panel.m_btnWrite.IsWindowEnabled() != FALSE, c.bWriteVerifyEnabled);
        EXPECT_EQ(panel.m_btnVerify.IsWindowEnabled() != FALSE, c.bWriteVerifyEnabled);
    });
    EXPECT_STREQ(panel.m_strCmdLine, c.cmdLine);
}

const CmdLineCase kCases[] = {
    // The worked results.
    {"NoArguments", "korvanto", "", "", "COM2", Com(2), E, false},
    {"LoneFile", "korvanto f.bin", "f.bin", "f.bin", "COM2", Com(2), W | E, true},
    {"PortActionsAndFile", "korvanto /COM1 /WRITE /VERIFY f.bin", "f.bin", "f.bin", "COM1", Com(1),
     W | V, true},
    {"LowerCaseOptions", "korvanto /com3 /erase", "", "", "COM3", Com(3), E, true},
    {"FileThenOption", "korvanto f.bin /COM1", "", "", "COM1", Com(1), W | E, true},
    {"LockThenQuotedPath", "korvanto /LOCK \"C:\\Eigene Dateien\\F.bin\"",
     "C:\\Eigene Dateien\\F.bin", "c:\\eigene dateien\\f.bin", "COM2", Com(2), L, true},
    {"QuotedPathThenLock", "korvanto \"C:\\Eigene Dateien\\f.bin\" /LOCK", "", "", "COM2", Com(2),
     L, true},
    {"UnquotedNameWithBlank", "korvanto C:\\Eigene Dateien\\f.bin", "Dateien\\f.bin",
     "dateien\\f.bin", "COM2", Com(2), W | E, true},
    // The edge cases.
    {"SingleBlankAfterProgram", "korvanto ", "", "", "COM2", Com(2), E, false},
    {"WhiteSpaceOnly", "korvanto  \t \r\n ", "", "", "COM2", Com(2), W | E, true},
    {"SeveralQuotedNamesLastWins", "korvanto \"a b.bin\" \"c d.bin\"", "c d.bin", "c d.bin", "COM2",
     Com(2), W | E, true},
    {"TrailingQuoteWithoutOpening", "korvanto abc\"", "abc", "abc", "COM2", Com(2), W | E, true},
    {"TrailingQuoteAfterWords", "korvanto x abc\"", "x abc", "x abc", "COM2", Com(2), W | E, true},
    {"FileKeepsItsCase", "korvanto /Verify Bild.BIN", "Bild.BIN", "bild.bin", "COM2", Com(2), V,
     true},
    {"LowerCaseWordsWithI", "korvanto /write /verify /lock f.bin", "f.bin", "f.bin", "COM2", Com(2),
     W | V | L, true},
    {"MixedCasePort", "korvanto /cOm4 f.bin", "f.bin", "f.bin", "COM4", Com(4), W | E, true},
    {"OptionInsideAWord", "korvanto x/com2y", "", "", "COM2", Com(2), W | E, true},
    {"Com12SelectsCom1", "korvanto /COM12", "", "", "COM1", Com(1), W | E, true},
    {"Com5SelectsNothingButIsAnOption", "korvanto /COM5", "", "", "COM2", Com(2), W | E, true},
    {"SeveralPortsHighestWins", "korvanto /COM3 /COM1", "", "", "COM3", Com(1) | Com(3), W | E,
     true},
    {"TestAndWriteNoErase", "korvanto /TEST /WRITE f.bin", "f.bin", "f.bin", "COM2", Com(2), T | W,
     true},
    {"VerifyAndLockTogether", "korvanto /VERIFY /LOCK", "", "", "COM2", Com(2), V | L, true},
    {"PercentToken", "korvanto %1", "", "", "COM2", Com(2), W | E, true},
    {"QuotedPercentToken", "korvanto /COM3 \"%1\"", "", "", "COM3", Com(3), W | E, true},
    {"FileNameHoldingAnOption", "korvanto C:/test/f.bin", "", "", "COM2", Com(2), T, true},
    {"OptionsGluedTogether", "korvanto /WRITE/COM4x", "", "", "COM4", Com(4), W, true},
    {"TabIsNoSeparator", "korvanto\t/COM1\tf.bin", "", "", "COM2", Com(2), E, false},
    {"NonAsciiFileName", "korvanto Prüfung.BIN", "Prüfung.BIN", "prüfung.bin", "COM2", Com(2),
     W | E, true},
    {"UnquotedProgramPathEndsAtItsFirstBlank", "/opt/my tools/korvanto", "tools/korvanto",
     "tools/korvanto", "COM2", Com(2), W | E, true},
    // A quoted program path with a blank is the program path, not arguments.
    {"QuotedProgramPathAlone", "\"/opt/my tools/korvanto\"", "", "", "COM2", Com(2), E, false},
    {"QuotedProgramPathThenBlank", "\"/opt/my tools/korvanto\" ", "", "", "COM2", Com(2), E, false},
    {"QuotedProgramPathWithArguments", "\"/opt/my tools/korvanto\" /COM3 f.bin", "f.bin", "f.bin",
     "COM3", Com(3), W | E, true},
    {"QuotedProgramPathWithQuotedFile", "\"/opt/my tools/korvanto\" \"/home/a b/f.bin\"",
     "/home/a b/f.bin", "/home/a b/f.bin", "COM2", Com(2), W | E, true},
    {"QuotedProgramPathGluedToText", "\"/opt/my tools/korvanto\"x /COM4", "", "", "COM4", Com(4),
     W | E, true},
    // Without its closing quote the program path ends at the first blank, as any other.
    {"UnterminatedQuotedProgramPath", "\"/opt/my tools/korvanto /COM1 f.bin", "f.bin", "f.bin",
     "COM1", Com(1), W | E, true},
    {"UnterminatedQuoteAlone", "\"/opt/my tools/korvanto", "tools/korvanto", "tools/korvanto",
     "COM2", Com(2), W | E, true},
    {"UnterminatedQuoteWithoutBlank", "\"korvanto", "", "", "COM2", Com(2), E, false},
};

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineTest,
    ::testing::Combine(::testing::Values("de_DE.UTF-8", "tr_TR.UTF-8", "az_AZ.UTF-8"),
                       ::testing::ValuesIn(kCases)),
    [](const ::testing::TestParamInfo<std::tuple<const char*, CmdLineCase>>& info) {
        std::string locale = std::get<0>(info.param);
        for (char& ch : locale)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return std::string(std::get<1>(info.param).name) + "_" + locale;
    });

// The argument text stays as the first processing left it: trimmed and upper-cased.
TEST(CommandLineArgsTest, FirstProcessingTrimsAndUpperCasesTheArgumentText) {
    CommandLineScope cmdLine("korvanto   /com1  f.bin \t");
    TestPanel panel;
    EXPECT_STREQ(panel.m_strArgs, "  /com1  f.bin \t");
    RunPanel(panel, [&]() { EXPECT_STREQ(panel.m_strArgs, "/COM1  F.BIN"); });
}

} // namespace
