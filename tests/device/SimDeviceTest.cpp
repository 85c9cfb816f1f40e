// The model of the simulated device, fed with byte streams at chosen times: what it
// decodes, what it keeps in its flash, and which pauses it finds too short.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/SimDevice.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Frame(std::uint8_t code) {
    return {0xEB, 0x98, code};
}
Bytes Fill(int n, std::uint8_t v) {
    return Bytes(n, v);
}
Bytes Rising(int from, int to) {
    Bytes b;
    for (int i = from; i <= to; ++i)
        b.push_back(static_cast<std::uint8_t>(i));
    return b;
}
Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Bytes that arrive together at a time in ms.
struct Burst {
    double atMs;
    Bytes bytes;
};

struct Played {
    std::vector<std::string> lines;
    int shortfalls;
    std::array<std::uint8_t, SimDevice::kFlashSize> flash;
    bool locked;
};

// Feeds the bursts in order, ticking the model between them as the simulator's
// loop does, and ends the session at finishMs.
Played Play(const std::vector<Burst>& bursts, double finishMs, SimDevice::Options opt = {}) {
    Played run;
    SimDevice dev(opt, [&run](const std::string& line) { run.lines.push_back(line); });
    for (const Burst& b : bursts) {
        dev.Tick(b.atMs);
        dev.Feed(b.bytes.data(), b.bytes.size(), b.atMs);
    }
    dev.Tick(finishMs);
    dev.Finish(finishMs);
    run.shortfalls = dev.Shortfalls();
    run.flash = dev.Flash();
    run.locked = dev.Locked();
    return run;
}

// Each data byte in a burst of its own, 1 ms apart, from startMs on.
std::vector<Burst> OneByOne(double startMs, const Bytes& bytes) {
    std::vector<Burst> out;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        out.push_back({startMs + static_cast<double>(i), {bytes[i]}});
    return out;
}

std::vector<Burst> operator+(std::vector<Burst> a, const std::vector<Burst>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct StreamCase {
    const char* name;
    std::vector<Burst> bursts;
    double finishMs;
    std::vector<std::string> lines;
    int shortfalls;
};

void PrintTo(const StreamCase& c, std::ostream* os) {
    *os << c.name;
}

class SimDeviceStreams : public ::testing::TestWithParam<StreamCase> {};

TEST_P(SimDeviceStreams, DecodesAndReports) {
    const StreamCase& c = GetParam();
    Played run = Play(c.bursts, c.finishMs);
    EXPECT_EQ(run.lines, c.lines);
    EXPECT_EQ(run.shortfalls, c.shortfalls);
}

const StreamCase kStreamCases[] = {
    {"TransferTestComplete",
     {{0, Frame(0x80) + Rising(1, 255)}},
     100,
     {"CMD n=1 code=0x80 name=transfer-test data=255 result=ok"},
     0},
    {"TransferTestWrongByte",
     {{0, Frame(0x80) + Rising(1, 4) + Bytes{0x00} + Rising(6, 255)}},
     100,
     {"CMD n=1 code=0x80 name=transfer-test data=255 result=bad index=4 got=0x00 want=0x05"},
     0},
    {"TransferTestCutOffByPause",
     {{0, Frame(0x80) + Rising(1, 100)}, {200, Frame(0x12)}},
     600,
     {"CMD n=1 code=0x80 name=transfer-test data=100 result=cut",
      "CMD n=2 code=0x12 name=erase result=ok", "PAUSE after=erase ms=400 need=250 result=open"},
     0},
    // The transfer test has a fixed length: the next frame may follow at once.
    {"TransferTestThenFrameAtOnce",
     {{0, Frame(0x80) + Rising(1, 255) + Frame(0xE0)}},
     300,
     {"CMD n=1 code=0x80 name=transfer-test data=255 result=ok",
      "CMD n=2 code=0xe0 name=lock-bits result=ok",
      "PAUSE after=lock-bits ms=300 need=250 result=open"},
     0},
    {"ErasePacedEnough",
     {{0, Frame(0x12)}, {251, Frame(0xE0)}, {510, Frame(0x80) + Rising(1, 255)}},
     600,
     {"CMD n=1 code=0x12 name=erase result=ok", "PAUSE after=erase ms=251 need=250 result=ok",
      "CMD n=2 code=0xe0 name=lock-bits result=ok",
      "PAUSE after=lock-bits ms=259 need=250 result=ok",
      "CMD n=3 code=0x80 name=transfer-test data=255 result=ok"},
     0},
    {"EraseWithinToleranceAndBelow",
     {{0, Frame(0x12)}, {246, Frame(0x12)}, {490, Frame(0x80) + Rising(1, 255)}},
     600,
     {"CMD n=1 code=0x12 name=erase result=ok", "PAUSE after=erase ms=246 need=250 result=ok",
      "CMD n=2 code=0x12 name=erase result=ok", "PAUSE after=erase ms=244 need=250 result=short",
      "CMD n=3 code=0x80 name=transfer-test data=255 result=ok"},
     1},
    {"LockBitsNotPaced",
     {{0, Frame(0xE0)}, {10, Frame(0x12)}},
     400,
     {"CMD n=1 code=0xe0 name=lock-bits result=ok",
      "PAUSE after=lock-bits ms=10 need=250 result=short", "CMD n=2 code=0x12 name=erase result=ok",
      "PAUSE after=erase ms=390 need=250 result=open"},
     1},
    // Image streams have no length: they end at a pause of the stream gap (15 ms).
    {"WriteThenVerifyPaced",
     {{0, Frame(0x04)},
      {1, Bytes{1, 2, 3, 4, 5}},
      {32, Frame(0x08) + Bytes{1, 2, 3, 4, 5}},
      {70, Frame(0x80) + Rising(1, 255)}},
     100,
     {"CMD n=1 code=0x04 name=write data=5 result=ok", "PAUSE after=write ms=31 need=30 result=ok",
      "CMD n=2 code=0x08 name=verify data=5 result=ok",
      "PAUSE after=verify ms=38 need=30 result=ok",
      "CMD n=3 code=0x80 name=transfer-test data=255 result=ok"},
     0},
    {"WriteNotPaced",
     {{0, Frame(0x04) + Bytes{1, 2}}, {16, Frame(0x08) + Bytes{1, 2}}},
     200,
     {"CMD n=1 code=0x04 name=write data=2 result=ok",
      "PAUSE after=write ms=16 need=30 result=short",
      "CMD n=2 code=0x08 name=verify data=2 result=ok",
      "PAUSE after=verify ms=184 need=30 result=open"},
     1},
    // Bytes closer together than the gap stay in one stream.
    {"GapBelowThresholdKeepsStream",
     OneByOne(0, Frame(0x04)) + std::vector<Burst>{{16, {0x11}}, {30, {0x22}}, {44, {0x33}}},
     200,
     {"CMD n=1 code=0x04 name=write data=3 result=ok",
      "PAUSE after=write ms=156 need=30 result=open"},
     0},
    {"EmptyImage",
     {{0, Frame(0x04)}, {31, Frame(0x08)}, {62, Frame(0x80) + Rising(1, 255)}},
     100,
     {"CMD n=1 code=0x04 name=write data=0 result=ok", "PAUSE after=write ms=31 need=30 result=ok",
      "CMD n=2 code=0x08 name=verify data=0 result=ok",
      "PAUSE after=verify ms=31 need=30 result=ok",
      "CMD n=3 code=0x80 name=transfer-test data=255 result=ok"},
     0},
    // The blank test (2048 x 0xFF) is followed at once by the next frame, unpaced.
    {"BlankTestThenWriteAtOnce",
     {{0, Frame(0x08) + Fill(2048, 0xFF) + Frame(0x04) + Bytes{0x7E}}},
     100,
     {"CMD n=1 code=0x08 name=verify data=2048 result=ok",
      "CMD n=2 code=0x04 name=write data=1 result=ok",
      "PAUSE after=write ms=100 need=30 result=open"},
     0},
    {"BlankTestFindsProgrammedByte",
     {{0, Frame(0x04) + Bytes{0xFF, 0xFF, 0x5A}}, {40, Frame(0x08) + Fill(2048, 0xFF)}},
     100,
     {"CMD n=1 code=0x04 name=write data=3 result=ok", "PAUSE after=write ms=40 need=30 result=ok",
      "CMD n=2 code=0x08 name=verify data=2048 result=differs addr=0x0002 flash=0x5a sent=0xff"},
     0},
    {"BytesPastFlashDropped",
     {{0, Frame(0x04) + Fill(2100, 0x00)}},
     100,
     {"CMD n=1 code=0x04 name=write data=2048 dropped=52 result=ok",
      "PAUSE after=write ms=100 need=30 result=open"},
     0},
    {"VerifyDiffers",
     {{0, Frame(0x04) + Bytes{0x10, 0x20, 0x30}},
      {40, Frame(0x08) + Bytes{0x10, 0x20, 0x31}},
      {80, Frame(0x12)}},
     400,
     {"CMD n=1 code=0x04 name=write data=3 result=ok", "PAUSE after=write ms=40 need=30 result=ok",
      "CMD n=2 code=0x08 name=verify data=3 result=differs addr=0x0002 flash=0x30 sent=0x31",
      "PAUSE after=verify ms=40 need=30 result=ok", "CMD n=3 code=0x12 name=erase result=ok",
      "PAUSE after=erase ms=320 need=250 result=open"},
     0},
    // Programming only clears bits: 0x0F over 0xF0 leaves 0x00.
    {"WriteCannotSetBits",
     {{0, Frame(0x04) + Bytes{0xF0}}, {40, Frame(0x04) + Bytes{0x0F}}},
     100,
     {"CMD n=1 code=0x04 name=write data=1 result=ok", "PAUSE after=write ms=40 need=30 result=ok",
      "CMD n=2 code=0x04 name=write data=1 result=unwritable addr=0x0000 flash=0x00 sent=0x0f",
      "PAUSE after=write ms=60 need=30 result=open"},
     0},
    {"LockedRefusesWriteAndVerify",
     {{0, Frame(0xE0)},
      {300, Frame(0x04) + Bytes{1}},
      {340, Frame(0x08) + Bytes{0xFF}},
      {380, Frame(0x80) + Rising(1, 255)}},
     400,
     {"CMD n=1 code=0xe0 name=lock-bits result=ok",
      "PAUSE after=lock-bits ms=300 need=250 result=ok",
      "CMD n=2 code=0x04 name=write data=1 result=locked",
      "PAUSE after=write ms=40 need=30 result=ok",
      "CMD n=3 code=0x08 name=verify data=1 result=locked",
      "CMD n=4 code=0x80 name=transfer-test data=255 result=ok"},
     0},
    // A pause inside a stream that is followed by more data, not by a frame, was
    // a hiccup of the sender.
    {"SenderHiccupResumesStream",
     {{0, Frame(0x04) + Bytes{1, 2, 3}}, {20, Bytes{4, 5}}, {60, Frame(0x80) + Rising(1, 255)}},
     100,
     {"GAP in=write data=3 ms=20", "CMD n=1 code=0x04 name=write data=5 result=ok",
      "PAUSE after=write ms=40 need=30 result=ok",
      "CMD n=2 code=0x80 name=transfer-test data=255 result=ok"},
     0},
    {"HiccupStartingLikeAFrame",
     {{0, Frame(0x04) + Bytes{1}}, {20, Bytes{0xEB, 0x98, 0x11}}, {60, Frame(0x12)}},
     400,
     {"GAP in=write data=1 ms=20", "CMD n=1 code=0x04 name=write data=4 result=ok",
      "PAUSE after=write ms=40 need=30 result=ok", "CMD n=2 code=0x12 name=erase result=ok",
      "PAUSE after=erase ms=340 need=250 result=open"},
     0},
    {"LeadByteAloneAfterPause",
     {{0, Frame(0x04) + Bytes{1}}, {20, Bytes{0xEB}}, {50, Frame(0x12)}},
     400,
     {"GAP in=write data=1 ms=20", "CMD n=1 code=0x04 name=write data=2 result=ok",
      "PAUSE after=write ms=30 need=30 result=ok", "CMD n=2 code=0x12 name=erase result=ok",
      "PAUSE after=erase ms=350 need=250 result=open"},
     0},
    {"HiccupInTransferTest",
     {{0, Frame(0x80) + Rising(1, 100)}, {30, Rising(101, 255)}},
     100,
     {"GAP in=transfer-test data=100 ms=30",
      "CMD n=1 code=0x80 name=transfer-test data=255 result=ok"},
     0},
    {"StrayBytesAndUnknownCode",
     {{0, Bytes{0x01, 0xEB, 0x02} + Frame(0x33)}, {50, Bytes{0xEB, 0x98}}},
     100,
     {"STRAY bytes=3 first=0x01", "CMD n=1 code=0x33 name=unknown result=ignored",
      "STRAY bytes=2 first=0xeb"},
     0},
};

INSTANTIATE_TEST_SUITE_P(Table, SimDeviceStreams, ::testing::ValuesIn(kStreamCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SimDeviceFlash, EraseClearsFlashAndLock) {
    Played run = Play({{0, Frame(0x04) + Bytes{0x00, 0x12}},
                       {40, Frame(0xE0)},
                       {300, Frame(0x12)},
                       {600, Frame(0x04) + Bytes{0x34}}},
                      700);
    EXPECT_FALSE(run.locked);
    EXPECT_EQ(run.flash[0], 0x34);
    EXPECT_EQ(run.flash[1], 0xFF);
}

TEST(SimDeviceFlash, LockedWriteLeavesFlash) {
    Played run = Play(
        {{0, Frame(0x04) + Bytes{0x0F}}, {40, Frame(0xE0)}, {300, Frame(0x04) + Bytes{0x00}}}, 400);
    EXPECT_TRUE(run.locked);
    EXPECT_EQ(run.flash[0], 0x0F);
}

TEST(SimDeviceFlash, WriteProgramsFromAddressZeroEachTime) {
    Played run =
        Play({{0, Frame(0x04) + Bytes{0xF1, 0xF2, 0xF3}}, {40, Frame(0x04) + Bytes{0x1F}}}, 100);
    EXPECT_EQ(run.flash[0], 0x11);
    EXPECT_EQ(run.flash[1], 0xF2);
    EXPECT_EQ(run.flash[2], 0xF3);
    EXPECT_EQ(run.flash[3], 0xFF);
}

TEST(SimDeviceOptions, StreamGapSettleAndToleranceAreHonoured) {
    SimDevice::Options opt;
    opt.streamGapMs = 5;
    opt.streamSettleMs = 50;
    opt.toleranceMs = 0;
    Played run = Play({{0, Frame(0x04) + Bytes{1}},
                       {6, Bytes{2}},
                       {35, Frame(0x12)},
                       {300, Frame(0x08) + Bytes{2}},
                       {360, Bytes{3}}},
                      400, opt);
    std::vector<std::string> want = {"GAP in=write data=1 ms=6",
                                     "CMD n=1 code=0x04 name=write data=2 result=ok",
                                     "PAUSE after=write ms=29 need=30 result=short",
                                     "CMD n=2 code=0x12 name=erase result=ok",
                                     "PAUSE after=erase ms=265 need=250 result=ok",
                                     "CMD n=3 code=0x08 name=verify data=1 result=differs "
                                     "addr=0x0000 flash=0xff sent=0x02",
                                     "PAUSE after=verify ms=60 need=30 result=ok",
                                     "STRAY bytes=1 first=0x03"};
    EXPECT_EQ(run.lines, want);
    EXPECT_EQ(run.shortfalls, 1);
}

TEST(SimDeviceDeadline, FollowsTheOpenStream) {
    SimDevice dev({}, [](const std::string&) {});
    EXPECT_LT(dev.NextDeadline(), 0);
    Bytes write = Frame(0x04) + Bytes{1};
    dev.Feed(write.data(), write.size(), 100);
    EXPECT_DOUBLE_EQ(dev.NextDeadline(), 115); // the stream gap
    dev.Tick(115);
    EXPECT_DOUBLE_EQ(dev.NextDeadline(), 300); // the settle time, from the last byte
    EXPECT_EQ(dev.Commands(), 0);
    dev.Tick(300);
    EXPECT_LT(dev.NextDeadline(), 0);
    EXPECT_EQ(dev.Commands(), 1);
}

} // namespace
