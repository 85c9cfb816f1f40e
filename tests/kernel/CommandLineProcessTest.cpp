// A process whose entry routine never handed its arguments over: the command
// line comes from the process itself. CTest starts this with known arguments.
#include <gtest/gtest.h>
#include <string>

#include "kernel/CommandLine.h"

namespace {

TEST(CommandLineOfProcess, BuiltFromItsOwnArguments) {
    const std::string line = GetCommandLineA();
    const std::string tail = " /COM4 \"my image.bin\" \"\" %1";
    ASSERT_GE(line.size(), tail.size());
    EXPECT_EQ(line.substr(line.size() - tail.size()), tail);
    EXPECT_NE(line.find("kernel_cmdline_tests"), std::string::npos);
    EXPECT_EQ(GetCommandLineA(), GetCommandLineA()); // built once
}

} // namespace
