// The six device jobs on a real pseudo-terminal: the exact bytes on the line, the
// progress control's ranges and positions, the reports, the results.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <unistd.h>

#include "device/CDeviceLink.h"
#include "kernel/KernelTesting.h"
#include "tests/device/DeviceTestSupport.h"
#include "tests/device/TempDir.h"

namespace {

using Job = std::function<BOOL(CDeviceLink&, CProgressCtrl*, const CString& image)>;

const Job kTransferTest = [](CDeviceLink& l, CProgressCtrl* p, const CString&) {
    return l.TransferTest(p);
};
const Job kErase = [](CDeviceLink& l, CProgressCtrl* p, const CString&) { return l.Erase(p); };
const Job kBlankTest = [](CDeviceLink& l, CProgressCtrl* p, const CString&) {
    return l.BlankTest(p);
};
const Job kWrite = [](CDeviceLink& l, CProgressCtrl* p, const CString& image) {
    return l.Write(p, image);
};
const Job kVerify = [](CDeviceLink& l, CProgressCtrl* p, const CString& image) {
    return l.Verify(p, image);
};
const Job kLockBits = [](CDeviceLink& l, CProgressCtrl* p, const CString&) {
    return l.WriteLockBits(p);
};

// Bytes a raw line must pass unaltered: line feed, carriage return, XON, XOFF, ^C.
const Bytes kImage5 = {0x0A, 0x0D, 0x11, 0x13, 0x03};

Bytes Pattern(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<unsigned char>(i * 7 + i / 256);
    return b;
}

// A link on a fresh pseudo-terminal, a spied progress bar, recorded boxes.
class DeviceJobs : public ::testing::Test {
protected:
    void SetUp() override {
        KernelClearFaults();
        line.MapTo(2);
        link = std::make_unique<CDeviceLink>("COM2");
        ASSERT_TRUE(link->m_bOpen);
        ASSERT_TRUE(boxes.Boxes().empty());
    }
    void TearDown() override {
        link.reset();
        KernelClearFaults();
    }

    // Runs the job and returns its result; elapsedMs gets its duration.
    BOOL RunJob(const Job& job, const std::string& image) {
        auto start = std::chrono::steady_clock::now();
        BOOL bResult = job(*link, spy.Bar(), CString(image.c_str()));
        elapsedMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        return bResult;
    }

    PtyLine line;
    TempDir dir;
    BarSpy spy;
    BoxLog boxes;
    std::unique_ptr<CDeviceLink> link;
    double elapsedMs = 0;
};

struct StreamCase {
    const char* name;
    Job job;
    Bytes image; // written to a file handed to the job
    Bytes wire;
    BarSteps bar;
    double minMs; // the pacing waits: no shorter than 1 ms each
};
void PrintTo(const StreamCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<StreamCase> StreamCases() {
    const Bytes big = Pattern(65536 + 3);
    const Bytes upperHalf = Pattern(40000);
    return {
        {"TransferTest",
         kTransferTest,
         {},
         Frame(0x80) + Rising(1, 255),
         BarSteps{Range(0, 259), Pos(3)} + Positions(4, 258),
         0},
        {"Erase", kErase, {}, Frame(0x12), BarSteps{Range(0, 250)} + Positions(0, 249), 250},
        {"BlankTest",
         kBlankTest,
         {},
         Frame(0x08) + Fill(2048, 0xFF),
         BarSteps{Range(0, 2047), Pos(0)} + Positions(0, 2047),
         0},
        {"Write5", kWrite, kImage5, Frame(0x04) + kImage5,
         BarSteps{Pos(0), Range(0, 5)} + Positions(0, 4), 30},
        {"Verify5", kVerify, kImage5, Frame(0x08) + kImage5,
         BarSteps{Pos(0), Range(0, 5)} + Positions(0, 4), 30},
        {"WriteEmpty", kWrite, {}, Frame(0x04), BarSteps{Pos(0), Range(0, 0)}, 30},
        {"VerifyEmpty", kVerify, {}, Frame(0x08), BarSteps{Pos(0), Range(0, 0)}, 30},
        // The upper bound is a 16-bit value read as unsigned, not clamped at 32767.
        {"Write40000", kWrite, upperHalf, Frame(0x04) + upperHalf,
         BarSteps{Pos(0), Range(0, 40000)} + Positions(0, 39999), 30},
        // The range is the size modulo 65536; the positions count every byte.
        {"Write65539", kWrite, big, Frame(0x04) + big,
         BarSteps{Pos(0), Range(0, 3)} + Positions(0, 65538), 30},
    };
}

class DeviceJobStreams : public DeviceJobs, public ::testing::WithParamInterface<StreamCase> {};

TEST_P(DeviceJobStreams, LineAndBarAsPlanned) {
    const StreamCase& c = GetParam();
    std::string image = dir.WriteFile("image.bin", c.image);
    EXPECT_EQ(RunJob(c.job, image), TRUE);
    EXPECT_TRUE(LineCarries(line, c.wire));
    EXPECT_TRUE(SameSteps(spy.Steps(), c.bar));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_GE(elapsedMs, c.minMs);
}

INSTANTIATE_TEST_SUITE_P(Jobs, DeviceJobStreams, ::testing::ValuesIn(StreamCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeviceJobs, LockBitsNoticeComesBeforeAnyByte) {
    Bytes onLineDuringNotice = {0x55};
    BarSteps barDuringNotice;
    boxes.onBox = [&](const Box&) {
        onLineDuringNotice = line.Settle();
        barDuringNotice = spy.Steps();
    };
    EXPECT_EQ(RunJob(kLockBits, ""), TRUE);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    const Box& notice = boxes.Boxes()[0];
    EXPECT_FALSE(notice.bOwned);
    EXPECT_EQ(notice.text, kLockNotice);
    EXPECT_EQ(notice.caption, "Achtung");
    EXPECT_EQ(notice.type, MB_OK | MB_ICONINFORMATION);
    EXPECT_TRUE(onLineDuringNotice.empty());
    EXPECT_EQ(barDuringNotice, BarSteps{Pos(0)});
    EXPECT_TRUE(LineCarries(line, Frame(0xE0)));
    EXPECT_TRUE(SameSteps(spy.Steps(), (BarSteps{Pos(0), Range(0, 250)} + Positions(0, 249))));
    EXPECT_GE(elapsedMs, 250);
}

// A write refused by the system: the nth WriteFile of the job fails. The frame is
// the first write and each data byte one more, so this also shows how the job
// splits the stream into writes.
struct WriteFaultCase {
    const char* name;
    Job job;
    int nFailingWrite;
    Bytes wire;
    BarSteps bar;
    std::vector<const char*> reports; // after the lock-bits notice, if any
    double minMs;
};
void PrintTo(const WriteFaultCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<WriteFaultCase> WriteFaultCases() {
    return {
        {"TransferTestFrame", kTransferTest, 1, {}, {Range(0, 259), Pos(3)}, {kFrameFailed}, 0},
        {"TransferTestFirstByte",
         kTransferTest,
         2,
         Frame(0x80),
         {Range(0, 259), Pos(3), Pos(4)},
         {kByteFailed},
         0},
        {"TransferTestLastByte",
         kTransferTest,
         256,
         Frame(0x80) + Rising(1, 254),
         BarSteps{Range(0, 259), Pos(3)} + Positions(4, 258),
         {kByteFailed},
         0},
        {"EraseFrameStillPaced",
         kErase,
         1,
         {},
         BarSteps{Range(0, 250)} + Positions(0, 249),
         {kFrameFailed},
         250},
        {"BlankTestFrame", kBlankTest, 1, {}, {Range(0, 2047), Pos(0)}, {kFrameFailed}, 0},
        {"BlankTestTenthByte",
         kBlankTest,
         11,
         Frame(0x08) + Fill(9, 0xFF),
         BarSteps{Range(0, 2047), Pos(0)} + Positions(0, 9),
         {kByteFailed},
         0},
        {"WriteFrame", kWrite, 1, {}, {Pos(0), Range(0, 5)}, {kFrameFailed}, 0},
        {"VerifyThirdByteStillPaced",
         kVerify,
         4,
         Frame(0x08) + Bytes{0x0A, 0x0D},
         BarSteps{Pos(0), Range(0, 5)} + Positions(0, 2),
         {kByteFailed},
         30},
        {"LockBitsFrameStillPaced",
         kLockBits,
         1,
         {},
         BarSteps{Pos(0), Range(0, 250)} + Positions(0, 249),
         {kFrameFailed},
         250},
    };
}

class DeviceJobWriteFaults : public DeviceJobs,
                             public ::testing::WithParamInterface<WriteFaultCase> {};

TEST_P(DeviceJobWriteFaults, OneReportAndNothingAfter) {
    const WriteFaultCase& c = GetParam();
    std::string image = dir.WriteFile("image.bin", kImage5);
    KernelInjectFault(KernelFault::WriteFile, EIO, c.nFailingWrite);
    EXPECT_EQ(RunJob(c.job, image), FALSE);
    EXPECT_TRUE(LineCarries(line, c.wire));
    EXPECT_TRUE(SameSteps(spy.Steps(), c.bar));
    std::vector<Box> reports = boxes.Boxes();
    if (!reports.empty() && reports[0].caption == "Achtung")
        reports.erase(reports.begin());
    ASSERT_EQ(reports.size(), c.reports.size());
    for (std::size_t i = 0; i < reports.size(); ++i)
        EXPECT_TRUE(IsFatalReport(reports[i], c.reports[i], EIO));
    EXPECT_GE(elapsedMs, c.minMs);
}

INSTANTIATE_TEST_SUITE_P(Jobs, DeviceJobWriteFaults, ::testing::ValuesIn(WriteFaultCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeviceJobs, PeerHangsUpMidStream) {
    spy.onStep = [&](const BarStep& s) {
        if (s == Pos(100))
            line.HangUp(3 + 101);
    };
    EXPECT_EQ(RunJob(kBlankTest, ""), FALSE);
    EXPECT_EQ(line.Seen(), Frame(0x08) + Fill(101, 0xFF));
    EXPECT_TRUE(SameSteps(spy.Steps(), (BarSteps{Range(0, 2047), Pos(0)} + Positions(0, 101))));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_TRUE(IsFatalReport(boxes.Boxes()[0], kByteFailed, EIO));

    // The next job tries the port again and reports its own failure.
    EXPECT_EQ(RunJob(kErase, ""), FALSE);
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_TRUE(IsFatalReport(boxes.Boxes()[1], kFrameFailed, EIO));
}

struct ImageOpenCase {
    const char* name;
    Job job;
    std::string path; // "%dir%" stands for the test's directory
    DWORD dwError;
};
void PrintTo(const ImageOpenCase& c, std::ostream* os) {
    *os << c.name;
}

const ImageOpenCase kImageOpenCases[] = {
    {"EmptyPathWrite", kWrite, "", ENOENT},
    {"EmptyPathVerify", kVerify, "", ENOENT},
    {"NoSuchFileWrite", kWrite, "%dir%/missing.bin", ENOENT},
    {"NoSuchFolderVerify", kVerify, "%dir%/missing/image.bin", ENOENT},
    {"DirectoryWrite", kWrite, "%dir%", EISDIR},
};

class DeviceJobImageUnopened : public DeviceJobs,
                               public ::testing::WithParamInterface<ImageOpenCase> {};

TEST_P(DeviceJobImageUnopened, ReportsAndSendsNothing) {
    const ImageOpenCase& c = GetParam();
    std::string path = c.path;
    if (path.rfind("%dir%", 0) == 0)
        path = dir.Path(".") + path.substr(5);
    EXPECT_EQ(RunJob(c.job, path), FALSE);
    EXPECT_TRUE(line.Settle().empty());
    EXPECT_TRUE(SameSteps(spy.Steps(), BarSteps{Pos(0)}));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_TRUE(IsFatalReport(boxes.Boxes()[0], kImageUnopened, c.dwError));
}

INSTANTIATE_TEST_SUITE_P(Paths, DeviceJobImageUnopened, ::testing::ValuesIn(kImageOpenCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The image is opened shared for writing and may shrink while it is sent; a byte
// that cannot be read is never replaced by a made-up one.
TEST_F(DeviceJobs, ImageShrinkingWhileSentStopsTheStream) {
    Bytes image = Pattern(100);
    std::string path = dir.WriteFile("image.bin", image);
    spy.onStep = [&](const BarStep& s) {
        if (s == Pos(49)) {
            ASSERT_EQ(truncate(path.c_str(), 50), 0);
        }
    };
    EXPECT_EQ(RunJob(kWrite, path), FALSE);
    EXPECT_TRUE(LineCarries(line, Frame(0x04) + Bytes(image.begin(), image.begin() + 50)));
    EXPECT_TRUE(SameSteps(spy.Steps(), (BarSteps{Pos(0), Range(0, 100)} + Positions(0, 49))));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_TRUE(IsFatalReport(boxes.Boxes()[0], kImageUnread, ERROR_HANDLE_EOF));
    // Says what happened: the file ended early, no input/output error.
    EXPECT_EQ(boxes.Boxes()[0].text,
              std::string(kImageUnread) + "\nDie Datei endet vor dem erwarteten Ende.");
    EXPECT_GE(elapsedMs, 30);
}

TEST_F(DeviceJobs, ImageReadFailureStopsTheStream) {
    std::string path = dir.WriteFile("image.bin", kImage5);
    KernelInjectFault(KernelFault::ReadFile, ENXIO, 3);
    EXPECT_EQ(RunJob(kVerify, path), FALSE);
    EXPECT_TRUE(LineCarries(line, Frame(0x08) + Bytes{0x0A, 0x0D}));
    EXPECT_TRUE(SameSteps(spy.Steps(), (BarSteps{Pos(0), Range(0, 5)} + Positions(0, 1))));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_TRUE(IsFatalReport(boxes.Boxes()[0], kImageUnread, ENXIO));
    EXPECT_GE(elapsedMs, 30);
}

// A failed job leaves the link ready for the next one.
TEST_F(DeviceJobs, NextJobRunsAfterAFailedOne) {
    KernelInjectFault(KernelFault::WriteFile, EIO, 1);
    EXPECT_EQ(RunJob(kErase, ""), FALSE);
    std::string image = dir.WriteFile("image.bin", kImage5);
    EXPECT_EQ(RunJob(kWrite, image), TRUE);
    EXPECT_TRUE(LineCarries(line, Frame(0x04) + kImage5));
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}

} // namespace
