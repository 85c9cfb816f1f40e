// korvanto-sim as a program: its link, its exit paths and its report, driven by
// writing to the link directly.
#include <gtest/gtest.h>

#include <csignal>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <filesystem>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "tests/device/SimProcess.h"
#include "tests/device/TempDir.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Opens the simulated port as a program would: raw, at the given speed.
int OpenLink(const std::string& path, speed_t speed = B1200) {
    int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0)
        return -1;
    termios t;
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    tcsetattr(fd, TCSANOW, &t);
    return fd;
}

void Send(int fd, const Bytes& bytes) {
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

bool IsSymlink(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

class SimSignalExit : public ::testing::TestWithParam<int> {};

TEST_P(SimSignalExit, RemovesLinkAndSummarises) {
    TempDir dir;
    std::string link = dir.Path("com"), ready = dir.Path("ready");
    SimProcess sim({"--link", link, "--ready-file", ready});
    ASSERT_TRUE(sim.WaitFor("READY", 5000)) << sim.Report();
    EXPECT_EQ(sim.Lines().front(), "READY link=" + link);
    ASSERT_TRUE(IsSymlink(link));
    EXPECT_EQ(std::filesystem::read_symlink(link).string().rfind("/dev/pts/", 0), 0u);
    Bytes readyLine = TempDir::ReadFile(ready);
    EXPECT_EQ(std::string(readyLine.begin(), readyLine.end()), "READY link=" + link + "\n");

    EXPECT_EQ(sim.Stop(GetParam()), 0) << sim.Report();
    EXPECT_FALSE(IsSymlink(link));
    EXPECT_EQ(sim.Line("SUMMARY"), "SUMMARY commands=0 stray=0 dropped=0 shortfalls=0 "
                                   "line-faults=0 locked=no blank=yes gaps=0");
    EXPECT_EQ(sim.Lines().back(), "EXIT reason=signal status=0");
}

INSTANTIATE_TEST_SUITE_P(Signals, SimSignalExit, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

TEST(SimProgram, WriteStreamReachesFlashFileAndExpectation) {
    TempDir dir;
    std::string link = dir.Path("com");
    Bytes image = {0x02, 0x00, 0x33, 0xC4, 0x75};
    std::string imagePath = dir.WriteFile("image.bin", image);
    std::string flashOut = dir.Path("flash.bin"), report = dir.Path("report.txt");
    SimProcess sim({"--link", link, "--exit-after", "1", "--flash-out", flashOut, "--expect",
                    imagePath, "--report", report});
    ASSERT_TRUE(sim.WaitFor("READY", 5000)) << sim.Report();
    int fd = OpenLink(link);
    ASSERT_GE(fd, 0);
    Send(fd, {0xEB, 0x98, 0x04});
    for (unsigned char b : image)
        Send(fd, {b});
    EXPECT_EQ(sim.Wait(5000), 0) << sim.Report();
    close(fd);

    EXPECT_EQ(sim.Line("LINE"), "LINE baud=1200 bits=8 parity=none stop=1 result=ok");
    EXPECT_EQ(sim.Line("CMD"), "CMD n=1 code=0x04 name=write data=5 result=ok");
    EXPECT_EQ(sim.Line("EXPECT"), "EXPECT flash matches file=" + imagePath);
    EXPECT_EQ(sim.Lines().back(), "EXIT reason=count status=0");
    Bytes flash = TempDir::ReadFile(flashOut);
    ASSERT_EQ(flash.size(), 2048u);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), flash.begin()));
    EXPECT_EQ(std::count(flash.begin() + 5, flash.end(), 0xFF), 2048 - 5);
    EXPECT_FALSE(IsSymlink(link));
    Bytes reportFile = TempDir::ReadFile(report);
    EXPECT_EQ(std::string(reportFile.begin(), reportFile.end()), sim.Report());
}

TEST(SimProgram, ExpectReportsFirstDifferenceAndFails) {
    TempDir dir;
    std::string link = dir.Path("com");
    std::string flashIn = dir.WriteFile("flash.bin", {0x10, 0x20, 0x30});
    std::string imagePath = dir.WriteFile("image.bin", {0x10, 0x20, 0x31, 0x40});
    SimProcess sim(
        {"--link", link, "--flash-in", flashIn, "--expect", imagePath, "--idle-exit", "100"});
    EXPECT_EQ(sim.Wait(5000), 1) << sim.Report();
    EXPECT_EQ(sim.Line("EXPECT"),
              "EXPECT flash differs addr=0x0002 flash=0x30 expect=0x31 file=" + imagePath);
    EXPECT_EQ(sim.Lines().back(), "EXIT reason=idle status=1");
}

struct LineCase {
    const char* name;
    speed_t speed;
    const char* line;
    const char* faults;
};

class SimLineSettings : public ::testing::TestWithParam<LineCase> {};

TEST_P(SimLineSettings, ReportsWhatTheProgramApplied) {
    TempDir dir;
    std::string link = dir.Path("com");
    SimProcess sim({"--link", link, "--exit-after", "1"});
    ASSERT_TRUE(sim.WaitFor("READY", 5000)) << sim.Report();
    int fd = OpenLink(link, GetParam().speed);
    ASSERT_GE(fd, 0);
    Send(fd, {0xEB, 0x98, 0x12});
    EXPECT_EQ(sim.Wait(5000), 0) << sim.Report();
    close(fd);
    EXPECT_EQ(sim.Line("LINE"), GetParam().line);
    EXPECT_NE(sim.Line("SUMMARY").find(GetParam().faults), std::string::npos) << sim.Report();
}

const LineCase kLineCases[] = {
    {"Right", B1200, "LINE baud=1200 bits=8 parity=none stop=1 result=ok", " line-faults=0 "},
    {"WrongBaud", B9600, "LINE baud=9600 bits=8 parity=none stop=1 result=wrong",
     " line-faults=1 "},
};

INSTANTIATE_TEST_SUITE_P(Table, SimLineSettings, ::testing::ValuesIn(kLineCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SimProgram, ReplacesStaleSymlinkButNoOtherFile) {
    TempDir dir;
    std::string link = dir.Path("com");
    ASSERT_EQ(symlink("/nonexistent/pts", link.c_str()), 0);
    {
        SimProcess sim({"--link", link, "--idle-exit", "50"});
        EXPECT_EQ(sim.Wait(5000), 0) << sim.Report();
        EXPECT_EQ(sim.Lines().front(), "READY link=" + link);
    }
    EXPECT_FALSE(IsSymlink(link));

    std::string file = dir.WriteFile("plain", {0x41});
    SimProcess sim({"--link", file, "--idle-exit", "50"});
    EXPECT_EQ(sim.Wait(5000), 2);
    EXPECT_TRUE(sim.Lines().empty());
    EXPECT_EQ(TempDir::ReadFile(file), Bytes{0x41});
}

// The program marks the port exclusive while it holds it. The simulator keeps the
// terminal open between runs, so the mark would outlive the program's run and an
// ordinary user's next run would find the port busy.
TEST(SimProgram, PortIsFreeAgainForTheNextRunOfAnOrdinaryUser) {
    const int kNobody = 65534;
    int user = geteuid() == 0 ? kNobody : -1;
    TempDir dir;
    ASSERT_EQ(chmod(dir.Path(".").c_str(), 0777), 0);
    std::string link = dir.Path("com");
    SimProcess sim({"--link", link}, user);
    ASSERT_TRUE(sim.WaitFor("READY", 5000)) << sim.Report();

    pid_t run = fork();
    if (run == 0) {
        if (user != -1 && (setgid(kNobody) != 0 || setuid(kNobody) != 0))
            _exit(10);
        int fd = open(link.c_str(), O_RDWR | O_NOCTTY);
        if (fd < 0 || flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0)
            _exit(11);
        if (open(link.c_str(), O_RDWR | O_NOCTTY) >= 0)
            _exit(12); // a second open while the first holds it must fail
        close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        fd = open(link.c_str(), O_RDWR | O_NOCTTY);
        _exit(fd >= 0 ? 0 : 13);
    }
    int status = -1;
    ASSERT_EQ(waitpid(run, &status, 0), run);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10 no user, 11 first open, 12 not exclusive, 13 busy";
    EXPECT_EQ(sim.Stop(SIGTERM), 0) << sim.Report();
}

TEST(SimProgram, RefusesBadCommandLine) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"--link"},
                                                 {"--link", "/tmp/x", "--idle-exit", "soon"},
                                                 {"--link", "/tmp/x", "--bogus", "1"}}) {
        SimProcess sim(args);
        EXPECT_EQ(sim.Wait(5000), 2);
        EXPECT_TRUE(sim.Lines().empty());
    }
}

} // namespace
