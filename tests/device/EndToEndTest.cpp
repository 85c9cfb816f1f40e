// The device jobs against the simulated device: korvanto-sim runs as a child
// process on a link in a private directory, the link is reached as COM3.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

#include "device/CDeviceLink.h"
#include "tests/device/DeviceTestSupport.h"
#include "tests/device/SimProcess.h"
#include "tests/device/TempDir.h"

namespace {

TEST(EndToEnd, EraseBlankWriteVerifyLockOnTheSimulatedDevice) {
    TempDir dir;
    Bytes image = PseudoRandom(700, 0x2F);
    std::string imagePath = dir.WriteFile("image.bin", image);
    std::string link = dir.Path("com3");
    SimProcess sim({"--link", link, "--expect", imagePath});
    ASSERT_TRUE(sim.WaitFor("READY", 5000)) << sim.Report();
    setenv("KORVANTO_COM3", link.c_str(), 1);

    BarSpy spy;
    BoxLog boxes;
    {
        CDeviceLink dev("COM3");
        ASSERT_TRUE(dev.m_bOpen);
        EXPECT_EQ(dev.TransferTest(spy.Bar()), TRUE);
        EXPECT_EQ(dev.Erase(spy.Bar()), TRUE);
        EXPECT_EQ(dev.BlankTest(spy.Bar()), TRUE);
        EXPECT_EQ(dev.Write(spy.Bar(), imagePath.c_str()), TRUE);
        EXPECT_EQ(dev.Verify(spy.Bar(), imagePath.c_str()), TRUE);
        EXPECT_EQ(dev.WriteLockBits(spy.Bar()), TRUE);
    }
    ASSERT_EQ(boxes.Boxes().size(), 1u); // the lock-bits notice only
    EXPECT_EQ(boxes.Boxes()[0].caption, "Achtung");

    EXPECT_EQ(sim.Stop(SIGTERM), 0) << sim.Report();
    std::string report = sim.Report();
    EXPECT_TRUE(sim.HasLine("LINE baud=1200 bits=8 parity=none stop=1 result=ok")) << report;
    EXPECT_TRUE(sim.HasLine("CMD n=1 code=0x80 name=transfer-test data=255 result=ok")) << report;
    EXPECT_TRUE(sim.HasLine("CMD n=2 code=0x12 name=erase result=ok")) << report;
    EXPECT_TRUE(sim.HasLine("CMD n=3 code=0x08 name=verify data=2048 result=ok")) << report;
    EXPECT_TRUE(sim.HasLine("CMD n=4 code=0x04 name=write data=700 result=ok")) << report;
    EXPECT_TRUE(sim.HasLine("CMD n=5 code=0x08 name=verify data=700 result=ok")) << report;
    EXPECT_TRUE(sim.HasLine("CMD n=6 code=0xe0 name=lock-bits result=ok")) << report;
    // Pauses of the sender inside a stream (gaps=) depend on the machine's load.
    EXPECT_EQ(sim.Line("SUMMARY").rfind("SUMMARY commands=6 stray=0 dropped=0 shortfalls=0 "
                                        "line-faults=0 locked=yes blank=no gaps=",
                                        0),
              0u)
        << report;
    EXPECT_TRUE(sim.HasLine("EXPECT flash matches file=" + imagePath)) << report;
}

// A verify on a locked device is refused, and a verify against another image shows
// where they differ: what the simulator reports follows what the jobs sent.
TEST(EndToEnd, LockedDeviceRefusesVerify) {
    TempDir dir;
    std::string imagePath = dir.WriteFile("image.bin", PseudoRandom(40, 0x2F));
    std::string otherPath = dir.WriteFile("other.bin", PseudoRandom(40, 0x2F) + Bytes{0x00});
    std::string link = dir.Path("com3");
    SimProcess sim({"--link", link});
    ASSERT_TRUE(sim.WaitFor("READY", 5000)) << sim.Report();
    setenv("KORVANTO_COM3", link.c_str(), 1);

    BarSpy spy;
    BoxLog boxes;
    {
        CDeviceLink dev("COM3");
        ASSERT_TRUE(dev.m_bOpen);
        dev.Erase(spy.Bar());
        dev.Write(spy.Bar(), imagePath.c_str());
        dev.Verify(spy.Bar(), otherPath.c_str());
        dev.WriteLockBits(spy.Bar());
        dev.Verify(spy.Bar(), imagePath.c_str());
    }
    EXPECT_EQ(sim.Stop(SIGTERM), 0) << sim.Report();
    std::string report = sim.Report();
    EXPECT_TRUE(sim.HasLine("CMD n=3 code=0x08 name=verify data=41 result=differs addr=0x0028 "
                            "flash=0xff sent=0x00"))
        << report;
    EXPECT_TRUE(sim.HasLine("CMD n=5 code=0x08 name=verify data=40 result=locked")) << report;
    EXPECT_NE(sim.Line("SUMMARY").find(" shortfalls=0 "), std::string::npos) << report;
}

} // namespace
