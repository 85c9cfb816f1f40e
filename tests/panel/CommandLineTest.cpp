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

#include "tests/panel/CommandLineCases.h"
#include "tests/panel/PanelTestSupport.h"

namespace {

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

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineTest,
    ::testing::Combine(::testing::Values("de_DE.UTF-8", "tr_TR.UTF-8", "az_AZ.UTF-8"),
                       ::testing::ValuesIn(kCommandLineCases)),
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
