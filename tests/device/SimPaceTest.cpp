// The simulated device's pace report: how fast each data stream came against what
// the line carries, and its longest pause between two data bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/SimDevice.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct PaceCase {
    const char* name;
    std::vector<std::pair<double, Bytes>> bursts; // bytes arriving together at a time in ms
    std::vector<std::string> pace;                // the PACE lines, in order
};
void PrintTo(const PaceCase& c, std::ostream* os) {
    *os << c.name;
}

class SimPace : public ::testing::TestWithParam<PaceCase> {};

TEST_P(SimPace, ReportsRateAndLongestGapOfEachStream) {
    std::vector<std::string> lines;
    SimDevice::Options options;
    options.reportPace = true;
    SimDevice device(options, [&](const std::string& line) {
        if (line.rfind("PACE", 0) == 0)
            lines.push_back(line);
    });
    for (const auto& burst : GetParam().bursts)
        device.Feed(burst.second.data(), burst.second.size(), burst.first);
    device.Finish(1e6);
    EXPECT_EQ(lines, GetParam().pace);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SimPace,
    ::testing::Values(
        // 4 bytes over 44 ms from the frame: 90.9 a second; the longest pause 14 ms.
        PaceCase{"SlowWrite",
                 {{0, {0xEB, 0x98, 0x04}}, {10, {0x01}}, {20, {0x02}}, {30, {0x03}}, {44, {0x04}}},
                 {"PACE in=write data=4 bytes-per-s=90.9 line-bytes-per-s=120 max-gap-ms=14.0"}},
        // Two bytes in one read have no pause between them; faster than a line is shown.
        PaceCase{"Batched",
                 {{0, {0xEB, 0x98, 0x08}}, {12, {0x01, 0x02}}, {24, {0x03}}},
                 {"PACE in=verify data=3 bytes-per-s=125.0 line-bytes-per-s=120 max-gap-ms=12.0"}},
        // Bytes past the flash are dropped and not counted in the pace.
        PaceCase{"PastTheFlash",
                 {{0, {0xEB, 0x98, 0x04}}, {10, Bytes(2048, 0xFF)}, {12, {0x00, 0x00}}},
                 {"PACE in=write data=2048 bytes-per-s=204800.0 line-bytes-per-s=120 "
                  "max-gap-ms=0.0"}},
        // A stream whose bytes came with its frame has no measurable pace.
        PaceCase{"AllAtOnce", {{0, {0xEB, 0x98, 0x04, 0x01, 0x02}}}, {}}),
    [](const ::testing::TestParamInfo<PaceCase>& info) { return std::string(info.param.name); });

TEST(SimPaceOff, NoPaceLinesUnlessAsked) {
    std::vector<std::string> lines;
    SimDevice device({}, [&](const std::string& line) { lines.push_back(line); });
    const Bytes stream = {0xEB, 0x98, 0x04, 0x01};
    device.Feed(stream.data(), 3, 0);
    device.Feed(stream.data() + 3, 1, 10);
    device.Finish(1e6);
    ASSERT_FALSE(lines.empty());
    for (const std::string& line : lines)
        EXPECT_NE(line.rfind("PACE", 0), 0u) << line;
}

} // namespace
