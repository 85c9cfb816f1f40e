// The command line on the real panel: what each command line leaves in the image path,
// the field (which shows lower case), the port, the radios, the six boxes and the
// enabled state of write and verify once the panel is open.
#include <gtest/gtest.h>

#include "tests/panel/CommandLineCases.h"
#include "tests/panel/PanelTestSupport.h"

namespace {

class CommandLineTest : public ::testing::TestWithParam<CmdLineCase> {
protected:
    CommandLineScope m_cmdLine;
};

TEST_P(CommandLineTest, PreselectsThePanel) {
    const CmdLineCase& c = GetParam();
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

INSTANTIATE_TEST_SUITE_P(Cases, CommandLineTest, ::testing::ValuesIn(kCommandLineCases),
                         [](const ::testing::TestParamInfo<CmdLineCase>& info) {
                             return std::string(info.param.name);
                         });

// The argument text stays as the first processing left it: trimmed and upper-cased.
TEST(CommandLineArgsTest, FirstProcessingTrimsAndUpperCasesTheArgumentText) {
    CommandLineScope cmdLine("korvanto   /com1  f.bin \t");
    TestPanel panel;
    EXPECT_STREQ(panel.m_strArgs, "  /com1  f.bin \t");
    RunPanel(panel, [&]() { EXPECT_STREQ(panel.m_strArgs, "/COM1  F.BIN"); });
}

} // namespace
