// The real program started where there is no display to show its window on: one
// German line on stderr names what is missing, the status is 1, no signal, no core.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Outcome {
    int nStatus = -1; // the exit status, -1 when ended by a signal
    int nSignal = 0;
    std::string err;
    std::string out;
};

std::string ReadAll(int fd) {
    std::string text;
    char buf[4096];
    lseek(fd, 0, SEEK_SET);
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0)
        text.append(buf, static_cast<std::size_t>(n));
    return text;
}

// Runs the program with exactly the environment given and a command line that would
// preselect COM3 and an image.
Outcome RunProgram(std::vector<std::string> env) {
    char szOut[] = "/tmp/nodisplay-out-XXXXXX";
    char szErr[] = "/tmp/nodisplay-err-XXXXXX";
    int fdOut = mkstemp(szOut);
    int fdErr = mkstemp(szErr);
    unlink(szOut);
    unlink(szErr);
    std::vector<std::string> args = {KORVANTO_EXE, "/COM3", "bild.bin"};
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fdOut, 1);
        dup2(fdErr, 2);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    Outcome o;
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status))
        o.nStatus = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        o.nSignal = WTERMSIG(status);
    o.out = ReadAll(fdOut);
    o.err = ReadAll(fdErr);
    close(fdOut);
    close(fdErr);
    return o;
}

std::vector<std::string> BaseEnvironment() {
    std::vector<std::string> env = {"PATH=/usr/bin:/bin", "HOME=/nonexistent", "LANG=C.UTF-8",
                                    "LC_ALL=C.UTF-8"};
    // Keep a sanitizer build's settings.
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
        if (const char* value = std::getenv(name))
            env.push_back(std::string(name) + "=" + value);
    return env;
}

TEST(NoDisplayTest, NeitherDisplayNorWaylandSaysSoInOneGermanLine) {
    Outcome o = RunProgram(BaseEnvironment());
    EXPECT_EQ(o.nSignal, 0);
    EXPECT_EQ(o.nStatus, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(
        o.err,
        "korvanto: Keine Anzeige gefunden: weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt.\n");
}

// Qt's platform cannot start: Qt's own lines first, then the program's line, status 1.
struct UnreachableCase {
    const char* name;
    std::vector<std::string> extra;
    const char* line;
};

void PrintTo(const UnreachableCase& c, std::ostream* os) {
    *os << c.name;
}

class NoDisplayUnreachableTest : public ::testing::TestWithParam<UnreachableCase> {};

TEST_P(NoDisplayUnreachableTest, EndsWithStatusOneAndTheProgramsLine) {
    std::vector<std::string> env = BaseEnvironment();
    for (const std::string& e : GetParam().extra)
        env.push_back(e);
    Outcome o = RunProgram(env);
    EXPECT_EQ(o.nSignal, 0) << o.err;
    EXPECT_EQ(o.nStatus, 1) << o.err;
    ASSERT_FALSE(o.err.empty());
    std::string last = o.err.substr(o.err.rfind('\n', o.err.size() - 2) + 1);
    EXPECT_EQ(last, GetParam().line) << o.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NoDisplayUnreachableTest,
    ::testing::Values(UnreachableCase{"DisplayWithoutServer",
                                      {"DISPLAY=:4711"},
                                      "korvanto: Keine Verbindung zur Anzeige (DISPLAY=:4711).\n"},
                      UnreachableCase{
                          "UnknownPlatform",
                          {"QT_QPA_PLATFORM=nonsense"},
                          "korvanto: Keine Verbindung zur Anzeige (QT_QPA_PLATFORM=nonsense).\n"}),
    [](const ::testing::TestParamInfo<UnreachableCase>& info) {
        return std::string(info.param.name);
    });

} // namespace
