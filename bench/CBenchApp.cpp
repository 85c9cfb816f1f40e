// Measurements (arguments after the program name):
//
//   write IMAGE [hidden]  a write job of IMAGE on COM2 with the progress bar
//                         shown (or hidden), as the run hands it to the job
//   pacing                250 and 30 pacing waits, raw and inside the erase job
//                         and the write job of an empty image, on COM2
//   line JOB [old]        JOB (blank, or an image path to write) on COM2 modelled
//                         as a 1200-baud line, against the time the line needs;
//                         old: drained the kernel's way (tcdrain), to compare
//   port JOB [old]        the same on a real serial port as COM2 (no model)
//
// COM2 is wherever KORVANTO_COM2 points (scripts/bench starts korvanto-sim there).
// Memory is measured from outside (the peak resident size of the process).
#include "bench/CBenchApp.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "device/CDeviceLink.h"
#include "kernel/Kernel.h"
#include "kernel/KernelTesting.h"
#include "ui/CProgressCtrl.h"
#include "ui/TestSeams.h"

namespace {

CBenchApp theApp;

using Clock = std::chrono::steady_clock;

double MicrosecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

std::vector<std::string> Arguments() {
    // The command line is the program path and the arguments joined by blanks.
    std::vector<std::string> args;
    std::string word;
    for (LPCSTR p = GetCommandLineA(); *p; ++p) {
        if (*p == ' ') {
            args.push_back(word);
            word.clear();
        } else if (*p != '"') {
            word += *p;
        }
    }
    args.push_back(word);
    return args;
}

// A real progress control, shown as the run shows the panel's bar.
class BenchBar {
public:
    explicit BenchBar(bool bVisible)
        : m_hWnd(CreateTestControl("msctls_progress32", 1010, bVisible ? TRUE : FALSE)) {
        m_bar.Attach(m_hWnd);
    }
    ~BenchBar() {
        m_bar.Detach();
        DestroyTestControl(m_hWnd);
    }
    CProgressCtrl* Bar() { return &m_bar; }

private:
    HWND m_hWnd;
    CProgressCtrl m_bar;
};

// Every box is a failure here: print it and close it.
void ReportBoxes(int& nBoxes) {
    SetBoxResponder([&nBoxes](const BoxCall& call) {
        std::fprintf(stderr, "bench: box \"%s\": %s\n", static_cast<LPCSTR>(call.caption),
                     static_cast<LPCSTR>(call.text));
        ++nBoxes;
        return IDOK;
    });
}

double RawWaits(int nWaits) {
    HANDLE hEvent = CreateEventA(nullptr, FALSE, FALSE, "warten");
    Clock::time_point start = Clock::now();
    for (int i = 0; i < nWaits; ++i)
        WaitForSingleObject(hEvent, 1);
    double us = MicrosecondsSince(start);
    CloseHandle(hEvent);
    return us;
}

} // namespace

CBenchApp::CBenchApp() : CWinApp("korvanto-bench"), m_nExitCode(2) {}

BOOL CBenchApp::InitInstance() {
    std::vector<std::string> args = Arguments();
    if (args.size() >= 3 && args[1] == "write")
        m_nExitCode = RunWrite(!(args.size() >= 4 && args[3] == "hidden"));
    else if (args.size() >= 2 && args[1] == "pacing")
        m_nExitCode = RunPacing();
    else if (args.size() >= 3 && (args[1] == "line" || args[1] == "port"))
        m_nExitCode = RunLine(args[2], args.size() >= 4 && args[3] == "old", args[1] == "line");
    else
        std::fprintf(stderr, "usage: korvanto-bench write IMAGE [hidden] | pacing | "
                             "line|port blank|IMAGE [old]\n");
    return FALSE;
}

int CBenchApp::ExitInstance() {
    return m_nExitCode;
}

int CBenchApp::RunWrite(bool bVisible) {
    const std::string strImage = Arguments()[2];
    int nBoxes = 0;
    ReportBoxes(nBoxes);
    BenchBar bar(bVisible);
    CDeviceLink link("COM2");
    if (!link.m_bOpen)
        return 1;

    HANDLE hFile = CreateFileA(strImage.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    const DWORD dwSize = GetFileSize(hFile, nullptr);
    CloseHandle(hFile);

    // The 30 closing waits of the job, measured alone, are taken off its time.
    const double pacingUs = RawWaits(30);
    Clock::time_point start = Clock::now();
    BOOL bOk = link.Write(bar.Bar(), strImage.c_str());
    const double jobUs = MicrosecondsSince(start);
    const double streamUs = jobUs - pacingUs;
    const double perByte = dwSize ? streamUs / dwSize : 0;
    std::printf("write bytes=%lu bar=%s job_us=%.0f pacing_us=%.0f per_byte_us=%.3f "
                "of_line_time_pct=%.4f result=%d boxes=%d\n",
                static_cast<unsigned long>(dwSize), bVisible ? "shown" : "hidden", jobUs, pacingUs,
                perByte, 100.0 * perByte / 8333.3, bOk, nBoxes);
    return bOk && nBoxes == 0 ? 0 : 1;
}

int CBenchApp::RunPacing() {
    int nBoxes = 0;
    ReportBoxes(nBoxes);
    for (int nWaits : {250, 30})
        std::printf("pacing waits=%d raw_us=%.0f floor_us=%d\n", nWaits, RawWaits(nWaits),
                    nWaits * 1000);

    BenchBar bar(true);
    CDeviceLink link("COM2");
    if (!link.m_bOpen)
        return 1;
    Clock::time_point start = Clock::now();
    link.Erase(bar.Bar());
    std::printf("pacing job=erase waits=250 job_us=%.0f floor_us=250000\n",
                MicrosecondsSince(start));
    return nBoxes == 0 ? 0 : 1;
}

int CBenchApp::RunLine(const std::string& strJob, bool bOldDrain, bool bModelled) {
    int nBoxes = 0;
    ReportBoxes(nBoxes);
    KernelModelLine(bModelled ? KernelLine::Uart : KernelLine::None);
    KernelSetDrain(bOldDrain ? KernelDrain::Kernel : KernelDrain::Fine);
    BenchBar bar(true);
    CDeviceLink link("COM2");
    if (!link.m_bOpen)
        return 1;

    const bool bBlank = strJob == "blank";
    DWORD dwBytes = 3 + 2048;
    double pacingUs = 0;
    if (!bBlank) {
        HANDLE hFile = CreateFileA(strJob.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
        dwBytes = 3 + GetFileSize(hFile, nullptr);
        CloseHandle(hFile);
        pacingUs = RawWaits(30); // the job's closing waits, measured alone, come off its time
    }
    Clock::time_point start = Clock::now();
    const BOOL bOk = bBlank ? link.BlankTest(bar.Bar()) : link.Write(bar.Bar(), strJob.c_str());
    const double jobUs = MicrosecondsSince(start);
    const double lineUs = dwBytes * 1e6 * 10 / 1200; // start bit, 8 data bits, stop bit
    const double streamUs = jobUs - pacingUs;
    std::printf("line job=%s drain=%s bytes=%lu job_us=%.0f pacing_us=%.0f line_us=%.0f "
                "ratio=%.4f result=%d boxes=%d\n",
                bBlank ? "blank" : "write", bOldDrain ? "kernel" : "fine",
                static_cast<unsigned long>(dwBytes), jobUs, pacingUs, lineUs, streamUs / lineUs,
                bOk, nBoxes);
    return bOk && nBoxes == 0 ? 0 : 1;
}
