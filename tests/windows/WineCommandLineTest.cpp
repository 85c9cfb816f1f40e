// The command line on the real korvanto.exe under Wine: each command line of the panel's
// table is handed to a new process exactly as written (CreateProcessA), and the open
// panel shows what the Linux build shows: the field, the radios, the six boxes and the
// enabled state of write and verify. Each process ends with status 0 when its panel is
// closed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "res/resource.h"
#include "tests/panel/CommandLineCases.h"
#include "tests/windows/WineWindows.h"

namespace {

// korvanto.exe as Windows names it: $KORVANTO_EXE is a path of the build machine,
// which Wine shows on drive Z:.
std::string ProgramPath() {
    const char* pszUnix = std::getenv("KORVANTO_EXE");
    std::string path = pszUnix ? std::string("Z:") + pszUnix : std::string();
    for (char& ch : path)
        if (ch == '/')
            ch = '\\';
    return path;
}

struct Running {
    PROCESS_INFORMATION pi{};
    HWND hPanel = nullptr;
};

// Starts the program with exactly this command line and waits for its panel.
Running Start(const char* pszCmdLine) {
    Running run;
    std::string program = ProgramPath();
    std::vector<char> cmdLine(pszCmdLine, pszCmdLine + std::strlen(pszCmdLine) + 1);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (!CreateProcessA(program.c_str(), cmdLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &run.pi))
        return run;
    run.hPanel = WaitForVisibleWindow("Steuerung Programmiergerät", run.pi.dwProcessId, 30000);
    return run;
}

unsigned Radios(HWND hPanel) {
    const int ids[] = {IDC_COM1, IDC_COM2, IDC_COM3, IDC_COM4};
    unsigned radios = 0;
    for (int n = 1; n <= 4; ++n)
        if (CheckOf(hPanel, ids[n - 1]))
            radios |= Com(n);
    return radios;
}

unsigned Boxes(HWND hPanel) {
    const struct {
        unsigned bit;
        int nID;
    } boxes[] = {{T, IDC_TRANSFERTEST}, {E, IDC_ERASE},  {B, IDC_BLANKTEST},
                 {W, IDC_WRITE},        {V, IDC_VERIFY}, {L, IDC_LOCK}};
    unsigned checked = 0;
    for (const auto& box : boxes)
        if (CheckOf(hPanel, box.nID))
            checked |= box.bit;
    return checked;
}

BOOL Enabled(HWND hPanel, int nID) {
    return IsWindowEnabled(GetDlgItem(hPanel, nID));
}

// The exit status of a process, waited for up to 30 s (then it is ended: 0xFFFFFFFF).
DWORD ExitStatus(HANDLE hProcess) {
    DWORD dwExit = 0xFFFFFFFFu;
    if (WaitForSingleObject(hProcess, 30000) == WAIT_OBJECT_0)
        GetExitCodeProcess(hProcess, &dwExit);
    else
        TerminateProcess(hProcess, dwExit);
    return dwExit;
}

// Closing a window takes Wine a while: the panels are closed as their close box does
// and the processes' ends are awaited together, after the last case.
class ClosingPanels : public ::testing::Environment {
public:
    static void Close(Running& run, const char* pszCase) {
        PostMessageA(run.hPanel, WM_CLOSE, 0, 0);
        CloseHandle(run.pi.hThread);
        s_closing.push_back({run.pi.hProcess, pszCase});
    }

    void TearDown() override {
        for (const auto& closing : s_closing) {
            EXPECT_EQ(ExitStatus(closing.first), 0u) << closing.second;
            CloseHandle(closing.first);
        }
    }

private:
    static std::vector<std::pair<HANDLE, const char*>> s_closing;
};

std::vector<std::pair<HANDLE, const char*>> ClosingPanels::s_closing;
::testing::Environment* const g_pClosing = ::testing::AddGlobalTestEnvironment(new ClosingPanels);

class WineCommandLineTest : public ::testing::TestWithParam<CmdLineCase> {};

TEST_P(WineCommandLineTest, PreselectsThePanel) {
    const CmdLineCase& c = GetParam();
    ASSERT_FALSE(ProgramPath().empty()) << "KORVANTO_EXE names no program";
    Running run = Start(c.cmdLine);
    ASSERT_NE(run.pi.hProcess, nullptr) << "cannot start " << ProgramPath();
    ASSERT_NE(run.hPanel, nullptr) << "no panel";
    EXPECT_EQ(WindowText(GetDlgItem(run.hPanel, IDC_FILENAME)), c.field);
    EXPECT_EQ(Radios(run.hPanel), c.radios);
    EXPECT_EQ(Boxes(run.hPanel), c.boxes);
    EXPECT_EQ(Enabled(run.hPanel, IDC_WRITE) != FALSE, c.bWriteVerifyEnabled);
    EXPECT_EQ(Enabled(run.hPanel, IDC_VERIFY) != FALSE, c.bWriteVerifyEnabled);
    ClosingPanels::Close(run, c.name);
}

INSTANTIATE_TEST_SUITE_P(Cases, WineCommandLineTest, ::testing::ValuesIn(kCommandLineCases),
                         [](const ::testing::TestParamInfo<CmdLineCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
