// The process's command line, built from its arguments.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "kernel/CommandLine.h"
#include "kernel/KernelTesting.h"

namespace {

struct JoinCase {
    std::vector<std::string> args;
    const char* line;
};

class CommandLineFromArguments : public ::testing::TestWithParam<JoinCase> {
protected:
    void TearDown() override { KernelOverrideCommandLine(nullptr); }
};

TEST_P(CommandLineFromArguments, JoinedWithBlanksQuotingWhereNeeded) {
    std::vector<std::string> args = GetParam().args;
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    KernelInitCommandLine(static_cast<int>(args.size()), argv.data());
    EXPECT_STREQ(GetCommandLineA(), GetParam().line);
    EXPECT_STREQ(GetCommandLineA(), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLineFromArguments,
    ::testing::Values(JoinCase{{"korvanto"}, "korvanto"},
                      JoinCase{{"/usr/bin/korvanto", "/COM1", "/WRITE", "f.bin"},
                               "/usr/bin/korvanto /COM1 /WRITE f.bin"},
                      JoinCase{{"k", "/LOCK", "/home/a/Eigene Dateien/f.bin"},
                               "k /LOCK \"/home/a/Eigene Dateien/f.bin\""},
                      JoinCase{{"/opt/my tools/korvanto"}, "\"/opt/my tools/korvanto\""},
                      JoinCase{{"k", ""}, "k \"\""}, JoinCase{{"k", "", ""}, "k \"\" \"\""},
                      JoinCase{{"k", "a\tb"}, "k \"a\tb\""}, JoinCase{{"k", "%1"}, "k %1"},
                      JoinCase{{"k", "x\"y"}, "k x\"y"},
                      JoinCase{{"k", "\xC3\xA4.bin"}, "k \xC3\xA4.bin"},
                      JoinCase{{"k", " "}, "k \" \""}, JoinCase{{}, ""}));

TEST(CommandLineOverride, ReplacesAndGoesBack) {
    char prog[] = "korvanto";
    char arg[] = "/COM3";
    char* argv[] = {prog, arg, nullptr};
    KernelInitCommandLine(2, argv);
    KernelOverrideCommandLine("\"C:\\Programme\\k.exe\" /ERASE");
    EXPECT_STREQ(GetCommandLineA(), "\"C:\\Programme\\k.exe\" /ERASE");
    KernelOverrideCommandLine("");
    EXPECT_STREQ(GetCommandLineA(), "");
    KernelOverrideCommandLine(nullptr);
    EXPECT_STREQ(GetCommandLineA(), "korvanto /COM3");
}

TEST(CommandLineLifetime, TextHandedOutStaysValidAfterReplacement) {
    char prog[] = "first";
    char* argv[] = {prog, nullptr};
    KernelInitCommandLine(1, argv);
    const char* first = GetCommandLineA();
    char prog2[] = "second";
    char* argv2[] = {prog2, nullptr};
    KernelInitCommandLine(1, argv2);
    EXPECT_STREQ(GetCommandLineA(), "second");
    EXPECT_STREQ(first, "first");
}

} // namespace
