// The order in which the panel's handlers touch its controls, step by step, as the
// message spy sees it: each radio handler sets all four radios COM1 to COM4 and only
// then takes the port name; each interlock unchecks its boxes in its own order; the
// file choice stores the path, shows it, enables write then verify, checks write and
// erase, unchecks the transfer test; the big icon comes before the small one, after the
// command line; the empty-selection message comes before the bar is shown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/device/DeviceTestSupport.h"
#include "tests/device/TempDir.h"
#include "tests/panel/PanelTestSupport.h"

namespace {

using Steps = std::vector<std::string>;

std::string ControlName(int nCtrlId) {
    switch (nCtrlId) {
    case 0:
        return "panel";
    case IDC_COM1:
        return "COM1";
    case IDC_COM2:
        return "COM2";
    case IDC_COM3:
        return "COM3";
    case IDC_COM4:
        return "COM4";
    case IDC_TRANSFERTEST:
        return "test";
    case IDC_ERASE:
        return "erase";
    case IDC_BLANKTEST:
        return "blank";
    case IDC_WRITE:
        return "write";
    case IDC_VERIFY:
        return "verify";
    case IDC_LOCK:
        return "lock";
    case IDC_FILENAME:
        return "field";
    case IDC_PROGRESS:
        return "bar";
    default:
        return "control " + std::to_string(nCtrlId);
    }
}

// The steps that change what the panel shows; reads (BM_GETCHECK) and the bar's range
// and position are left out.
bool Describe(const SpiedMessage& m, std::string& step) {
    const std::string name = ControlName(m.nCtrlId);
    switch (m.message) {
    case BM_SETCHECK:
        step = name + (m.wParam ? " check" : " uncheck");
        return true;
    case WM_ENABLE:
        step = name + (m.wParam ? " enable" : " disable");
        return true;
    case WM_SETTEXT:
        step = name + " text";
        return true;
    case WM_SHOWWINDOW:
        step = name + (m.wParam == SW_HIDE ? " hide" : " show");
        return true;
    case WM_SETICON:
        step = name + (m.wParam == ICON_BIG ? " big icon" : " small icon");
        return true;
    default:
        return false;
    }
}

class HandlerOrder : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageSpy([this](const SpiedMessage& m) {
            std::string step;
            if (m_bRecording && Describe(m, step)) {
                m_steps.push_back(step);
                if (onStep)
                    onStep(step, m);
            }
        });
        m_boxes.onBox = [this](const Box& box) {
            if (m_bRecording)
                m_steps.push_back("box \"" + box.text + "\"");
        };
    }
    void TearDown() override {
        SetMessageSpy({});
        SetFileDialogResponder({});
    }

    // What fn makes the panel do.
    Steps Record(const std::function<void()>& fn) {
        m_steps.clear();
        m_bRecording = true;
        fn();
        m_bRecording = false;
        return m_steps;
    }

    CommandLineScope m_cmdLine{"korvanto f.bin"}; // write and verify enabled
    BoxLog m_boxes;
    Steps m_steps;
    bool m_bRecording = false;
    std::function<void(const std::string&, const SpiedMessage&)> onStep;
};

// --- Port radios ----------------------------------------------------------------------

class RadioOrder : public HandlerOrder, public ::testing::WithParamInterface<int> {};

TEST_P(RadioOrder, AllFourRadiosInOrderThenThePortName) {
    const int nPort = GetParam();
    TestPanel panel;
    RunPanel(panel, [&]() {
        // Start from a port other than the one clicked, so the name's change shows.
        const int nStart = nPort == 2 ? 3 : 2;
        Click(panel.Radio(nStart));
        ASSERT_STREQ(panel.m_strPort, ("COM" + std::to_string(nStart)).c_str());
        std::vector<std::string> portAtStep;
        onStep = [&](const std::string&, const SpiedMessage&) {
            portAtStep.push_back(static_cast<LPCSTR>(panel.m_strPort));
        };
        Steps steps = Record([&] { Click(panel.Radio(nPort)); });
        onStep = {};
        Steps want;
        for (int n = 1; n <= 4; ++n)
            want.push_back("COM" + std::to_string(n) + (n == nPort ? " check" : " uncheck"));
        EXPECT_EQ(steps, want);
        // The name is taken only after the last radio is set.
        const std::string before = "COM" + std::to_string(nStart);
        EXPECT_EQ(portAtStep, std::vector<std::string>(want.size(), before));
        EXPECT_STREQ(panel.m_strPort, ("COM" + std::to_string(nPort)).c_str());
    });
}

INSTANTIATE_TEST_SUITE_P(Ports, RadioOrder, ::testing::Values(1, 2, 3, 4),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "COM" + std::to_string(info.param);
                         });

// --- Interlocks -----------------------------------------------------------------------

struct InterlockOrderCase {
    const char* name;
    unsigned clicked;
    Steps steps;
};

void PrintTo(const InterlockOrderCase& c, std::ostream* os) {
    *os << c.name;
}

class InterlockOrder : public HandlerOrder,
                       public ::testing::WithParamInterface<InterlockOrderCase> {};

// The same steps whether the click checks or unchecks the box.
TEST_P(InterlockOrder, UnchecksInItsOwnOrder) {
    const InterlockOrderCase& c = GetParam();
    TestPanel panel;
    RunPanel(panel, [&]() {
        for (unsigned start : {0u, T | E | B | W | V | L}) {
            panel.SetBoxes(start & ~c.clicked);
            EXPECT_EQ(Record([&] { Click(panel.Box(c.clicked)); }), c.steps)
                << "clicked while unchecked";
            panel.SetBoxes(start | c.clicked);
            EXPECT_EQ(Record([&] { Click(panel.Box(c.clicked)); }), c.steps)
                << "clicked while checked";
        }
    });
}

const InterlockOrderCase kInterlockOrders[] = {
    {"Lock", L, {"verify uncheck", "test uncheck"}},
    {"Verify", V, {"lock uncheck", "test uncheck"}},
    {"TransferTest", T, {"erase uncheck", "write uncheck", "verify uncheck", "lock uncheck"}},
    {"Erase", E, {"test uncheck"}},
    {"Write", W, {"test uncheck"}},
    {"BlankTest", B, {}},
};

INSTANTIATE_TEST_SUITE_P(Handlers, InterlockOrder, ::testing::ValuesIn(kInterlockOrders),
                         [](const ::testing::TestParamInfo<InterlockOrderCase>& info) {
                             return std::string(info.param.name);
                         });

// --- File choice ----------------------------------------------------------------------

TEST_F(HandlerOrder, ConfirmedFileChoiceStepByStep) {
    TempDir dir;
    const std::string path = dir.WriteFile("image.bin", {1, 2, 3});
    SetFileDialogResponder([&](CString& chosen) {
        m_steps.push_back("file dialog");
        chosen = path.c_str();
        return TRUE;
    });
    TestPanel panel;
    RunPanel(panel, [&]() {
        std::string pathAtText;
        onStep = [&](const std::string& step, const SpiedMessage&) {
            if (step == "field text")
                pathAtText = static_cast<LPCSTR>(panel.m_strImagePath);
        };
        Steps steps = Record([&] { Click(Item(panel, IDC_BROWSE)); });
        onStep = {};
        EXPECT_EQ(steps, (Steps{"file dialog", "field text", "write enable", "verify enable",
                                "write check", "erase check", "test uncheck"}));
        EXPECT_EQ(pathAtText, path) << "the path is stored before the field shows it";
    });
}

TEST_F(HandlerOrder, CancelledFileChoiceChangesNothing) {
    SetFileDialogResponder([&](CString&) {
        m_steps.push_back("file dialog");
        return FALSE;
    });
    TestPanel panel;
    RunPanel(panel, [&]() {
        EXPECT_EQ(Record([&] { Click(Item(panel, IDC_BROWSE)); }), Steps{"file dialog"});
    });
}

// --- Initialisation -------------------------------------------------------------------

// The command line is applied first (the data exchange), then the big icon, then the
// small one.
TEST_F(HandlerOrder, CommandLineThenBigIconThenSmallIcon) {
    m_cmdLine.Set("korvanto /COM3 /ERASE");
    TestPanel panel;
    Steps steps = Record([&] { RunPanel(panel, [] {}); });
    Steps icons;
    size_t nLastCheck = 0, nFirstIcon = steps.size();
    for (size_t i = 0; i < steps.size(); ++i) {
        if (steps[i].find("icon") != std::string::npos) {
            icons.push_back(steps[i]);
            nFirstIcon = std::min(nFirstIcon, i);
        } else if (steps[i].find("check") != std::string::npos) {
            nLastCheck = i;
        }
    }
    EXPECT_EQ(icons, (Steps{"panel big icon", "panel small icon"}));
    EXPECT_LT(nLastCheck, nFirstIcon) << "an icon was set before the command line was applied";
}

// --- Run ------------------------------------------------------------------------------

TEST_F(HandlerOrder, EmptySelectionMessageBeforeTheBarIsShown) {
    PtyLine line;
    line.MapTo(2);
    TestPanel panel;
    RunPanel(panel, [&]() {
        panel.SetBoxes(0);
        EXPECT_EQ(Record([&] { Click(Item(panel, IDC_EXECUTE)); }),
                  (Steps{"box \"Es wurden keine Aktionen ausgewählt!\"", "bar show", "bar hide"}));
    });
    unsetenv("KORVANTO_COM2");
}

} // namespace
