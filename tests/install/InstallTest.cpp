// The installed tree (cmake --install into a temporary prefix), the Debian package
// and scripts/demo, each as a user meets it.
#include <QImage>
#include <QString>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "res/IconData.h"
#include "res/VersionInfo.h"
#include "res/resource.h"
#include "tests/device/TempDir.h"

namespace fs = std::filesystem;

namespace {

struct CommandResult {
    int status;
    std::string output; // stdout and stderr
};

CommandResult RunShell(const std::string& command) {
    CommandResult result{-1, ""};
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, n);
    int raw = pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

std::string Quote(const std::string& s) {
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool HaveTool(const char* pszTool) {
    return RunShell(std::string("command -v ") + pszTool).status == 0;
}

// The [Desktop Entry] group as key -> value.
std::map<std::string, std::string> DesktopEntry(const std::string& path) {
    std::map<std::string, std::string> keys;
    std::istringstream in(ReadText(path));
    std::string line, group;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '[')
            group = line;
        else if (group == "[Desktop Entry]" && line.find('=') != std::string::npos)
            keys[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    }
    return keys;
}

// --- The installed tree -----------------------------------------------------------

class InstalledTree : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_pPrefix = new TempDir;
        s_install = RunShell(Quote(KORVANTO_CMAKE) + " --install " + Quote(KORVANTO_BUILD_DIR) +
                             " --prefix " + Quote(s_pPrefix->Path("usr")));
    }
    static void TearDownTestSuite() {
        delete s_pPrefix;
        s_pPrefix = nullptr;
    }
    void SetUp() override { ASSERT_EQ(s_install.status, 0) << s_install.output; }
    static std::string Installed(const std::string& relative) {
        return s_pPrefix->Path("usr/" + relative);
    }

    static TempDir* s_pPrefix;
    static CommandResult s_install;
};

TempDir* InstalledTree::s_pPrefix = nullptr;
CommandResult InstalledTree::s_install;

const char* const kInstalledFiles[] = {
    "bin/korvanto",
    "share/applications/korvanto.desktop",
    "share/icons/hicolor/16x16/apps/korvanto.png",
    "share/icons/hicolor/32x32/apps/korvanto.png",
    "share/metainfo/korvanto.metainfo.xml",
    "share/man/man1/korvanto.1",
};

TEST_F(InstalledTree, HoldsEveryFileWhereLinuxExpectsIt) {
    for (const char* pszFile : kInstalledFiles) {
        SCOPED_TRACE(pszFile);
        fs::path path = Installed(pszFile);
        ASSERT_TRUE(fs::is_regular_file(path));
        EXPECT_GT(fs::file_size(path), 0u);
    }
    EXPECT_EQ(access(Installed("bin/korvanto").c_str(), X_OK), 0);
}

TEST_F(InstalledTree, DesktopEntryStartsTheProgramWithAFileAndItsIcon) {
    auto keys = DesktopEntry(Installed("share/applications/korvanto.desktop"));
    const std::pair<const char*, const char*> kExpected[] = {
        {"Type", "Application"},
        {"Name", "Korvanto"},
        {"GenericName", "Steuerung Programmiergerät"},
        {"Exec", "korvanto %f"},
        {"Icon", "korvanto"},
        {"Terminal", "false"},
        {"Categories", "Development;Electronics;"},
    };
    for (const auto& [key, value] : kExpected)
        EXPECT_EQ(keys[key], value) << key;
    // The comment is German, with the chip it is for.
    EXPECT_NE(keys["Comment"].find("89C2051"), std::string::npos);
    EXPECT_NE(keys["Comment"].find("löschen"), std::string::npos);
}

TEST_F(InstalledTree, DesktopEntryAndMetainfoPassTheirValidators) {
    if (!HaveTool("desktop-file-validate") || !HaveTool("appstreamcli"))
        GTEST_SKIP()
            << "desktop-file-utils or appstream not installed (scripts/setup installs them)";
    CommandResult desktop = RunShell("desktop-file-validate " +
                                     Quote(Installed("share/applications/korvanto.desktop")));
    EXPECT_EQ(desktop.status, 0) << desktop.output;
    EXPECT_EQ(desktop.output, "");
    CommandResult metainfo = RunShell("appstreamcli validate --no-net " +
                                      Quote(Installed("share/metainfo/korvanto.metainfo.xml")));
    EXPECT_EQ(metainfo.status, 0) << metainfo.output;
}

TEST_F(InstalledTree, MetainfoCarriesTheVersionDataAndLaunchesTheDesktopEntry) {
    std::string xml = ReadText(Installed("share/metainfo/korvanto.metainfo.xml"));
    // ProductVersion, and FileVersion "11.01.99" read as the date it is.
    std::string release = std::string("<release version=\"") + FindVersionString("ProductVersion") +
                          "\" date=\"1999-01-11\">";
    EXPECT_NE(xml.find(release), std::string::npos) << xml;
    EXPECT_NE(xml.find(FindVersionString("FileVersion")), std::string::npos);
    EXPECT_NE(xml.find(std::string("<developer_name>") + FindVersionString("CompanyName")),
              std::string::npos);
    EXPECT_NE(xml.find("<launchable type=\"desktop-id\">korvanto.desktop</launchable>"),
              std::string::npos);
    EXPECT_NE(xml.find("<binary>korvanto</binary>"), std::string::npos);
    EXPECT_EQ(xml.find('@'), std::string::npos) << "a placeholder was left";
}

// Every pixel of the installed PNG as the program's own icon image shows it.
class InstalledIcon : public InstalledTree, public testing::WithParamInterface<int> {};

TEST_P(InstalledIcon, IsTheProgramsIconPixelForPixel) {
    const int size = GetParam();
    const IconGroup* pGroup = FindIconGroup(IDI_APPICON);
    ASSERT_NE(pGroup, nullptr);
    const char* const* xpm = nullptr;
    for (int i = 0; i < pGroup->nImages; ++i)
        if (pGroup->pImages[i].cx == size)
            xpm = pGroup->pImages[i].xpm;
    ASSERT_NE(xpm, nullptr);
    QImage expected = QImage(xpm).convertToFormat(QImage::Format_ARGB32);
    std::string path = Installed("share/icons/hicolor/" + std::to_string(size) + "x" +
                                 std::to_string(size) + "/apps/korvanto.png");
    QImage installed;
    ASSERT_TRUE(installed.load(QString::fromStdString(path), "PNG"));
    installed = installed.convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(installed.size(), expected.size());
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            QRgb want = expected.pixel(x, y), got = installed.pixel(x, y);
            // A transparent pixel's colour does not matter.
            if (qAlpha(want) == 0)
                ASSERT_EQ(qAlpha(got), 0) << x << "," << y;
            else
                ASSERT_EQ(got, want) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Sizes, InstalledIcon, testing::Values(16, 32));

TEST_F(InstalledTree, ManualPageRendersCleanlyWithTheCommandLineAndThePorts) {
    std::string page = Installed("share/man/man1/korvanto.1");
    if (HaveTool("man")) {
        CommandResult shown =
            RunShell("MANWIDTH=80 man --warnings -l " + Quote(page) + " 2>&1 >/dev/null");
        EXPECT_EQ(shown.output, "") << "roff warnings";
    }
    std::string text = ReadText(page);
    const char* const kMentioned[] = {
        "/COM1",
        "/COM4",
        "/ERASE",
        "/WRITE",
        "/VERIFY",
        "/TEST",
        "/LOCK",
        "KORVANTO_COM",
        "COM1\t/dev/ttyS0",
        "COM2\t/dev/ttyS1",
        "COM3\t/dev/ttyS2",
        "COM4\t/dev/ttyS3",
        "dialout",
        "ModemManager",
        "brltty",
    };
    for (const char* pszText : kMentioned)
        EXPECT_NE(text.find(pszText), std::string::npos) << pszText;
    EXPECT_EQ(text.rfind(std::string(".TH KORVANTO 1 \"1999-01-11\" \"Korvanto ") +
                             FindVersionString("ProductVersion") + "\"",
                         0),
              0u);
}

// --- Version data: the build's version is the version block's ----------------------

TEST(VersionData, ProjectVersionIsTheFixedFileVersion) {
    const WORD* v = GetVersionInfo().fixed.wFileVersion;
    std::string dotted = std::to_string(v[0]) + "." + std::to_string(v[1]) + "." +
                         std::to_string(v[2]) + "." + std::to_string(v[3]);
    EXPECT_EQ(dotted, KORVANTO_PROJECT_VERSION);
}

// --- The Debian package -----------------------------------------------------------

TEST(DebianPackage, HoldsTheInstalledFilesAndDependsOnQt) {
    TempDir out;
    CommandResult built = RunShell("cd " + Quote(KORVANTO_BUILD_DIR) + " && " +
                                   Quote(KORVANTO_CPACK) + " -G DEB -B " + Quote(out.Path("")));
    ASSERT_EQ(built.status, 0) << built.output;
    std::string deb = out.Path(std::string("korvanto_") + KORVANTO_PROJECT_VERSION + "_amd64.deb");
    if (!fs::exists(deb)) { // another architecture
        for (const auto& entry : fs::directory_iterator(out.Path("")))
            if (entry.path().extension() == ".deb")
                deb = entry.path().string();
    }
    CommandResult contents = RunShell("dpkg-deb -c " + Quote(deb));
    ASSERT_EQ(contents.status, 0) << contents.output;
    for (const char* pszFile : kInstalledFiles)
        EXPECT_NE(contents.output.find(std::string("./usr/") + pszFile), std::string::npos)
            << pszFile;
    EXPECT_EQ(contents.output.find("korvanto-sim"), std::string::npos);
    CommandResult depends = RunShell("dpkg-deb -f " + Quote(deb) + " Depends");
    EXPECT_NE(depends.output.find("libqt6widgets6"), std::string::npos) << depends.output;
    EXPECT_NE(depends.output.find("libc6"), std::string::npos) << depends.output;
    CommandResult name = RunShell("dpkg-deb -f " + Quote(deb) + " Package Version");
    EXPECT_EQ(name.output,
              std::string("Package: korvanto\nVersion: ") + KORVANTO_PROJECT_VERSION + "\n");
}

// --- scripts/demo without a display --------------------------------------------------

std::string DemoCommand() {
    return "exec env -u DISPLAY -u WAYLAND_DISPLAY KORVANTO_BUILD_DIR=" +
           Quote(KORVANTO_BUILD_DIR) + " " + Quote(KORVANTO_SOURCE_DIR "/scripts/demo") +
           " --no-build";
}

// A pgrep pattern for processes that name the folder, which does not match itself.
std::string NamingProcesses(const std::string& folder) {
    size_t slash = folder.rfind('/');
    if (slash == std::string::npos || slash + 1 >= folder.size())
        return Quote(folder);
    return Quote(folder.substr(0, slash + 1) + "[" + folder[slash + 1] + "]" +
                 folder.substr(slash + 2));
}

// The work folder that the demo names in its first line ("... on DIR/com2 ...").
std::string WorkDir(const std::string& output) {
    const std::string key = "simulated device on ";
    size_t at = output.find(key);
    if (at == std::string::npos)
        return "";
    size_t end = output.find("/com2", at);
    return end == std::string::npos ? "" : output.substr(at + key.size(), end - at - key.size());
}

TEST(Demo, WritesTheSampleOnTheSimulatedDeviceAndNamesAMidRunScreenshot) {
    CommandResult demo = RunShell(DemoCommand());
    ASSERT_EQ(demo.status, 0) << demo.output;
    const char* const kLines[] = {
        "LINE baud=1200 bits=8 parity=none stop=1 result=ok",
        "name=erase result=ok",
        "name=write data=67 result=ok",
        "name=verify data=67 result=ok",
        "EXPECT flash matches",
        "demo: the simulated flash matches the image",
    };
    for (const char* pszLine : kLines)
        EXPECT_NE(demo.output.find(pszLine), std::string::npos) << pszLine << "\n" << demo.output;
    // It ends with the programmed flash running in the 8051 simulator, at the rate that
    // the sample's source gives.
    auto bytes = TempDir::ReadFile(KORVANTO_BUILD_DIR "/sample/blink.toggle-ms");
    std::string toggle(bytes.begin(), bytes.end());
    ASSERT_FALSE(toggle.empty());
    toggle.erase(toggle.find_last_not_of('\n') + 1);
    std::string last = demo.output.substr(0, demo.output.find_last_not_of('\n') + 1);
    last = last.substr(last.rfind('\n') + 1);
    EXPECT_EQ(last, "demo: the simulated chip runs the image: P1.0 toggles every " + toggle + " ms")
        << demo.output;
    EXPECT_EQ(demo.output.find("BOX "), std::string::npos) << "a message box was shown";
    const std::string key = "screenshot taken mid-run: ";
    size_t at = demo.output.find(key);
    ASSERT_NE(at, std::string::npos) << demo.output;
    std::string shot = demo.output.substr(at + key.size());
    shot = shot.substr(0, shot.find('\n'));
    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(shot), "PNG")) << shot;
    EXPECT_GT(image.width(), 200);
    // The simulator and its pseudo-terminal are gone with the work folder.
    std::string work = WorkDir(demo.output);
    ASSERT_FALSE(work.empty());
    EXPECT_FALSE(fs::exists(work));
    EXPECT_NE(RunShell("pgrep -f " + NamingProcesses(work)).status, 0)
        << "a process of the demo is left";
}

TEST(Demo, StoppedWhileTheSimulatorRunsLeavesNothingBehind) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        execl("/bin/sh", "sh", "-c", DemoCommand().c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string output;
    char c;
    // Stopped as soon as the simulator is up and the panel is being started.
    while (output.find("demo: korvanto") == std::string::npos && read(fds[0], &c, 1) == 1)
        output += c;
    std::string work = WorkDir(output);
    ASSERT_FALSE(work.empty()) << output;
    // sh -c execs the demo itself, so pid is the demo's.
    kill(pid, SIGTERM);
    while (read(fds[0], &c, 1) == 1)
        output += c;
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_FALSE(fs::exists(work)) << output;
    EXPECT_NE(RunShell("pgrep -f " + NamingProcesses(work)).status, 0)
        << "a process of the demo is left";
}

} // namespace
