// The pacing of each device job, call by call: the event it creates (name "warten",
// auto-reset, unsignalled), each 1 ms wait on that event, its close, and where they fall
// among the progress bar's steps and the boxes. A count, a kind or an order that is off
// by one shows here, where the elapsed time could not show it.
#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "device/CDeviceLink.h"
#include "kernel/KernelTesting.h"
#include "tests/device/DeviceTestSupport.h"
#include "tests/device/TempDir.h"

namespace {

using Timeline = std::vector<std::string>;

Timeline operator+(Timeline a, const Timeline& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The pacing the jobs lay down: the event, then n times what one step does.
const char* const kCreate = "create \"warten\" auto-reset unsignalled #1";
const char* const kWait = "wait #1 1 ms";
const char* const kClose = "close #1";

Timeline Repeat(int n, const Timeline& step) {
    Timeline t;
    for (int i = 0; i < n; ++i)
        t = t + step;
    return t;
}

// n waits with no bar step between them.
Timeline Waits(int n) {
    return Timeline{kCreate} + Repeat(n, {kWait}) + Timeline{kClose};
}

// n waits on the range 0..n, position i after wait i.
Timeline WaitsShown(int n) {
    Timeline t{kCreate, "range 0.." + std::to_string(n)};
    for (int i = 0; i < n; ++i)
        t = t + Timeline{kWait, "pos " + std::to_string(i)};
    return t + Timeline{kClose};
}

Timeline PosRange(unsigned from, unsigned to) {
    Timeline t;
    for (unsigned i = from; i <= to; ++i)
        t.push_back("pos " + std::to_string(i));
    return t;
}

::testing::AssertionResult SameTimeline(const Timeline& got, const Timeline& want) {
    for (size_t i = 0; i < std::max(got.size(), want.size()); ++i) {
        const std::string g = i < got.size() ? got[i] : "(nothing)";
        const std::string w = i < want.size() ? want[i] : "(nothing)";
        if (g != w)
            return ::testing::AssertionFailure()
                   << "step " << i << " is \"" << g << "\", expected \"" << w << "\" ("
                   << got.size() << " steps, expected " << want.size() << ")";
    }
    return ::testing::AssertionSuccess();
}

// A link on a fresh pseudo-terminal; the pacing calls, the bar's steps and the boxes in
// the order in which they happen. Handles are named #1, #2 ... in order of creation.
class Pacing : public ::testing::Test {
protected:
    void SetUp() override {
        KernelClearFaults();
        line.MapTo(2);
        link = std::make_unique<CDeviceLink>("COM2");
        ASSERT_TRUE(link->m_bOpen);
        spy.onStep = [this](const BarStep& s) {
            std::ostringstream os;
            if (s.kind == 'R')
                os << "range " << s.a << ".." << s.b;
            else
                os << "pos " << s.a;
            timeline.push_back(os.str());
        };
        boxes.onBox = [this](const Box& b) { timeline.push_back("box " + b.caption); };
        KernelSetPacingSpy([this](const PacingCall& c) { timeline.push_back(Describe(c)); });
    }
    void TearDown() override {
        KernelSetPacingSpy({});
        link.reset();
        KernelClearFaults();
    }

    std::string Name(HANDLE h) {
        auto it = handles.find(h);
        return it == handles.end() ? "unknown" : "#" + std::to_string(it->second);
    }

    std::string Describe(const PacingCall& c) {
        std::ostringstream os;
        switch (c.kind) {
        case PacingCall::Kind::CreateEvent:
            handles[c.h] = static_cast<int>(handles.size()) + 1;
            os << "create \"" << c.name << "\" " << (c.bManualReset ? "manual-reset" : "auto-reset")
               << " " << (c.bInitialState ? "signalled" : "unsignalled") << " " << Name(c.h);
            break;
        case PacingCall::Kind::Wait:
            os << "wait " << Name(c.h) << " " << c.dwMilliseconds << " ms";
            break;
        case PacingCall::Kind::CloseEvent:
            os << "close " << Name(c.h);
            handles.erase(c.h); // the next job's event is #1 again
            break;
        }
        return os.str();
    }

    PtyLine line;
    TempDir dir;
    BarSpy spy;
    BoxLog boxes;
    std::unique_ptr<CDeviceLink> link;
    std::map<HANDLE, int> handles;
    Timeline timeline;
};

const Bytes kImage5 = {0x0A, 0x0D, 0x11, 0x13, 0x03};

TEST_F(Pacing, EraseMakes250WaitsShownOnTheBar) {
    EXPECT_EQ(link->Erase(spy.Bar()), TRUE);
    EXPECT_TRUE(SameTimeline(timeline, WaitsShown(250)));
}

TEST_F(Pacing, LockBitsMakes250WaitsShownOnTheBarAfterTheNotice) {
    EXPECT_EQ(link->WriteLockBits(spy.Bar()), TRUE);
    EXPECT_TRUE(SameTimeline(timeline, Timeline{"pos 0", "box Achtung"} + WaitsShown(250)));
}

TEST_F(Pacing, FailedFrameStillMakesTheWaits) {
    KernelInjectFault(KernelFault::WriteFile, EIO, 1);
    EXPECT_EQ(link->Erase(spy.Bar()), FALSE);
    KernelInjectFault(KernelFault::WriteFile, EIO, 1);
    EXPECT_EQ(link->WriteLockBits(spy.Bar()), FALSE);
    const Timeline erase = Timeline{"box Schwerer Fehler"} + WaitsShown(250);
    const Timeline lock = Timeline{"pos 0", "box Achtung", "box Schwerer Fehler"} + WaitsShown(250);
    EXPECT_TRUE(SameTimeline(timeline, erase + lock));
}

class PacingImage : public Pacing, public ::testing::WithParamInterface<bool> {
protected:
    BOOL Send(const std::string& path) {
        return GetParam() ? link->Write(spy.Bar(), path.c_str())
                          : link->Verify(spy.Bar(), path.c_str());
    }
};

TEST_P(PacingImage, ThirtyWaitsAfterTheLastByte) {
    const std::string path = dir.WriteFile("image.bin", kImage5);
    EXPECT_EQ(Send(path), TRUE);
    EXPECT_TRUE(
        SameTimeline(timeline, Timeline{"pos 0", "range 0..5"} + PosRange(0, 4) + Waits(30)));
}

TEST_P(PacingImage, EmptyImageStillWaits) {
    const std::string path = dir.WriteFile("empty.bin", {});
    EXPECT_EQ(Send(path), TRUE);
    EXPECT_TRUE(SameTimeline(timeline, Timeline{"pos 0", "range 0..0"} + Waits(30)));
}

TEST_P(PacingImage, FailedByteStillWaits) {
    const std::string path = dir.WriteFile("image.bin", kImage5);
    KernelInjectFault(KernelFault::WriteFile, EIO, 3); // frame, byte 0, byte 1
    EXPECT_EQ(Send(path), FALSE);
    EXPECT_TRUE(SameTimeline(
        timeline,
        Timeline{"pos 0", "range 0..5", "pos 0", "box Schwerer Fehler", "pos 1"} + Waits(30)));
}

TEST_P(PacingImage, NoWaitsWhenTheFrameFails) {
    const std::string path = dir.WriteFile("image.bin", kImage5);
    KernelInjectFault(KernelFault::WriteFile, EIO, 1);
    EXPECT_EQ(Send(path), FALSE);
    EXPECT_TRUE(SameTimeline(timeline, {"pos 0", "range 0..5", "box Schwerer Fehler"}));
}

TEST_P(PacingImage, NoWaitsWhenTheImageDoesNotOpen) {
    EXPECT_EQ(Send(dir.Path("missing.bin")), FALSE);
    EXPECT_TRUE(SameTimeline(timeline, {"pos 0", "box Schwerer Fehler"}));
}

INSTANTIATE_TEST_SUITE_P(WriteAndVerify, PacingImage, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Write" : "Verify");
                         });

// The streaming jobs are paced by the line alone.
TEST_F(Pacing, TransferTestAndBlankTestDoNotWait) {
    EXPECT_EQ(link->TransferTest(spy.Bar()), TRUE);
    EXPECT_EQ(link->BlankTest(spy.Bar()), TRUE);
    const Timeline want = Timeline{"range 0..259", "pos 3"} + PosRange(4, 258) +
                          Timeline{"range 0..2047", "pos 0"} + PosRange(0, 2047);
    EXPECT_TRUE(SameTimeline(timeline, want));
}

} // namespace
