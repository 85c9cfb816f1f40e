// Fuzz target: the panel's command-line processing on arbitrary command lines.
//
// The input is the whole command line (program path first), up to its first NUL
// byte. For each, the real panel is constructed (it captures the command line),
// run modally offscreen, and checked right after its initialisation, where its
// data exchange has applied the command line:
//   - the port is one of COM1 ... COM4 and its radio is checked;
//   - the image path is empty or a substring of the command line, holds no
//     percent sign and no option word;
//   - at least one action box is checked, the blank test never;
//   - write and verify are enabled whenever anything follows the program path.
// AddressSanitizer catches any read outside a string.
//
// The windowing binding runs the fuzzer: main hands over to the entry routine,
// whose application object starts libFuzzer's driver from InitInstance, so every
// input meets a real Qt application.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "kernel/KernelTesting.h"
#include "panel/CKorvantoDlg.h"
#include "ui/CWinApp.h"
#include "ui/TestSeams.h"

extern "C" int LLVMFuzzerRunDriver(int* argc, char*** argv,
                                   int (*UserCb)(const uint8_t* Data, size_t Size));

namespace {

int g_argc = 0;
char** g_argv = nullptr;

void Check(bool ok, const char* what, const std::string& cmdLine) {
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\ncommand line: [%s]\n", what, cmdLine.c_str());
        std::abort();
    }
}

bool Checked(CButton& button) {
    return button.SendMessage(BM_GETCHECK) != 0;
}

class CFuzzPanel : public CKorvantoDlg {
public:
    explicit CFuzzPanel(const std::string& cmdLine) : m_cmdLine(cmdLine) {}

protected:
    BOOL OnInitDialog() override {
        BOOL bResult = CKorvantoDlg::OnInitDialog();
        CheckSelection();
        EndDialog(IDCANCEL);
        return bResult;
    }

private:
    void CheckSelection() {
        const std::string port(static_cast<LPCSTR>(m_strPort));
        CButton* radios[] = {&m_btnCom1, &m_btnCom2, &m_btnCom3, &m_btnCom4};
        const bool bKnownPort =
            port.size() == 4 && port.compare(0, 3, "COM") == 0 && port[3] >= '1' && port[3] <= '4';
        Check(bKnownPort, "the port is one of COM1 ... COM4", m_cmdLine);
        Check(Checked(*radios[port[3] - '1']), "the port's radio is checked", m_cmdLine);

        const std::string image(static_cast<LPCSTR>(m_strImagePath),
                                static_cast<size_t>(m_strImagePath.GetLength()));
        Check(image.empty() || m_cmdLine.find(image) != std::string::npos,
              "the image path is a substring of the command line", m_cmdLine);
        Check(image.find('%') == std::string::npos, "the image path holds no percent sign",
              m_cmdLine);
        CString strUpper = m_strImagePath;
        strUpper.MakeUpper();
        for (LPCSTR option : {"/COM", "/ERASE", "/WRITE", "/TEST", "/VERIFY", "/LOCK"})
            Check(strUpper.Find(option) < 0, "the image path holds no option word", m_cmdLine);

        Check(Checked(m_btnErase) || Checked(m_btnWrite) || Checked(m_btnTransferTest) ||
                  Checked(m_btnVerify) || Checked(m_btnLock),
              "an action is checked", m_cmdLine);
        Check(!Checked(m_btnBlankTest), "the blank test is never preselected", m_cmdLine);
        if (!m_strArgs.IsEmpty() || !image.empty())
            Check(m_btnWrite.IsWindowEnabled() && m_btnVerify.IsWindowEnabled(),
                  "write and verify are enabled with an argument text", m_cmdLine);
    }

    std::string m_cmdLine;
};

int TestOneInput(const uint8_t* data, size_t size) {
    const std::string cmdLine(reinterpret_cast<const char*>(data),
                              strnlen(reinterpret_cast<const char*>(data), size));
    KernelOverrideCommandLine(cmdLine.c_str());
    {
        CFuzzPanel panel(cmdLine);
        AfxGetApp()->m_pMainWnd = &panel;
        panel.DoModal();
        AfxGetApp()->m_pMainWnd = nullptr;
    }
    KernelOverrideCommandLine(nullptr);
    return 0;
}

class CFuzzApp : public CWinApp {
public:
    CFuzzApp() : CWinApp("korvanto-fuzz-cmdline") {}
    BOOL InitInstance() override {
        // Every box is answered at once; none is expected here.
        SetBoxResponder([](const BoxCall&) { return IDOK; });
        m_nResult = LLVMFuzzerRunDriver(&g_argc, &g_argv, TestOneInput);
        return FALSE;
    }
    int ExitInstance() override { return m_nResult; }

private:
    int m_nResult = 0;
};

CFuzzApp theApp;

} // namespace

int main(int argc, char** argv) {
    g_argc = argc;
    g_argv = argv;
    return AfxWinMain(argc, argv);
}
