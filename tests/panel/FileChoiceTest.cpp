// "Datei auswählen" on the real panel, answered through the file-dialog seam while
// the real dialog is open.
#include <QApplication>
#include <QFileDialog>
#include <algorithm>
#include <gtest/gtest.h>

#include "tests/device/TempDir.h"
#include "tests/panel/PanelTestSupport.h"
#include "ui/TestSeams.h"

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

struct Answer {
    bool bConfirm;
    const char* name; // a file in the test's directory
};

struct ChoiceCase {
    const char* name;
    const char* cmdLine;
    unsigned startTicks;
    std::vector<Answer> answers;
    unsigned endTicks;
    const char* image; // in the test's directory; nullptr: the command line's path stays
    bool bEnabled;     // write and verify
};

void PrintTo(const ChoiceCase& c, std::ostream* os) {
    *os << c.name;
}

class FileChoiceTest : public ::testing::TestWithParam<ChoiceCase> {
protected:
    void SetUp() override { m_dir.WriteFile("a.bin", {1, 2, 3}); }
    void TearDown() override { SetFileDialogResponder({}); }
    TempDir m_dir;
    CommandLineScope m_cmdLine;
};

TEST_P(FileChoiceTest, RecordsTheChosenPath) {
    const ChoiceCase& c = GetParam();
    m_cmdLine.Set(c.cmdLine);
    std::size_t nAnswer = 0;
    SetFileDialogResponder([&](CString& path) {
        const Answer& a = c.answers.at(nAnswer++);
        path = m_dir.Path(a.name).c_str();
        return a.bConfirm ? TRUE : FALSE;
    });
    TestPanel panel;
    RunPanel(panel, [&]() {
        panel.SetBoxes(c.startTicks);
        std::string imageBefore = static_cast<LPCSTR>(panel.m_strImagePath);
        std::string fieldBefore = panel.FieldText();
        for (std::size_t i = 0; i < c.answers.size(); ++i)
            Click(Item(panel, IDC_BROWSE));
        EXPECT_EQ(nAnswer, c.answers.size());
        EXPECT_EQ(BoxNames(panel.Boxes()), BoxNames(c.endTicks));
        EXPECT_EQ(panel.Radios(), Com(2)); // the port is not touched
        EXPECT_STREQ(panel.m_strPort, "COM2");
        if (c.image) {
            std::string path = m_dir.Path(c.image);
            EXPECT_STREQ(panel.m_strImagePath, path.c_str());
            EXPECT_EQ(panel.FieldText(), Lower(path));
        } else {
            EXPECT_STREQ(panel.m_strImagePath, imageBefore.c_str());
            EXPECT_EQ(panel.FieldText(), fieldBefore);
        }
        EXPECT_EQ(panel.m_btnWrite.IsWindowEnabled() != FALSE, c.bEnabled);
        EXPECT_EQ(panel.m_btnVerify.IsWindowEnabled() != FALSE, c.bEnabled);
    });
}

const ChoiceCase kChoices[] = {
    {"CancelChangesNothing", "korvanto", E | B, {{false, "a.bin"}}, E | B, nullptr, false},
    {"CancelKeepsTheCommandLineFile",
     "korvanto f.bin",
     V | L,
     {{false, "a.bin"}},
     V | L,
     nullptr,
     true},
    {"ConfirmChecksWriteAndErase", "korvanto", 0, {{true, "a.bin"}}, W | E, "a.bin", true},
    {"ConfirmUnchecksTransferTestKeepsBlank",
     "korvanto",
     T | B,
     {{true, "a.bin"}},
     W | E | B,
     "a.bin",
     true},
    {"ConfirmKeepsLockAndVerifyUnchecked",
     "korvanto",
     L,
     {{true, "a.bin"}},
     L | W | E,
     "a.bin",
     true},
    {"ConfirmKeepsVerifyAndLockAsTheyAre",
     "korvanto f.bin",
     V | L,
     {{true, "a.bin"}},
     V | L | W | E,
     "a.bin",
     true},
    {"ConfirmAfterEraseAndWriteUnticked",
     "korvanto f.bin",
     V | B,
     {{true, "a.bin"}},
     V | B | W | E,
     "a.bin",
     true},
    {"SameFileTwiceAsOnce",
     "korvanto",
     T,
     {{true, "a.bin"}, {true, "a.bin"}},
     W | E,
     "a.bin",
     true},
    {"CancelAfterAChoiceKeepsIt",
     "korvanto",
     0,
     {{true, "a.bin"}, {false, "b.bin"}},
     W | E,
     "a.bin",
     true},
    {"LaterChoiceReplacesThePath",
     "korvanto",
     0,
     {{true, "a.bin"}, {true, "B.bin"}},
     W | E,
     "B.bin",
     true},
    {"NameWithoutExtensionGetsBin", "korvanto", 0, {{true, "neu"}}, W | E, "neu.bin", true},
    {"MissingFileIsStoredUnchecked",
     "korvanto",
     0,
     {{true, "fehlt.bin"}},
     W | E,
     "fehlt.bin",
     true},
};

INSTANTIATE_TEST_SUITE_P(Cases, FileChoiceTest, ::testing::ValuesIn(kChoices),
                         [](const ::testing::TestParamInfo<ChoiceCase>& info) {
                             return std::string(info.param.name);
                         });

// Unticking erase and write by clicks after a choice: a second choice checks both again.
TEST(FileChoiceAgainTest, SecondChoiceChecksEraseAndWriteAgain) {
    TempDir dir;
    std::string path = dir.WriteFile("a.bin", {7});
    CommandLineScope cmdLine("korvanto");
    SetFileDialogResponder([&](CString& p) {
        p = path.c_str();
        return TRUE;
    });
    TestPanel panel;
    RunPanel(panel, [&]() {
        Click(Item(panel, IDC_BROWSE));
        ASSERT_EQ(BoxNames(panel.Boxes()), BoxNames(W | E));
        Click(panel.m_btnErase);
        Click(panel.m_btnWrite);
        Click(panel.m_btnVerify);
        ASSERT_EQ(BoxNames(panel.Boxes()), BoxNames(V));
        Click(Item(panel, IDC_BROWSE));
        EXPECT_EQ(BoxNames(panel.Boxes()), BoxNames(W | E | V));
    });
    SetFileDialogResponder({});
}

// The dialog as the panel opens it: owned by the panel (which is disabled meanwhile),
// the two filters with the binary files first, "*.bin" as the initial name, and no
// insisting on an existing file.
TEST(FileChoiceDialogTest, DialogSettings) {
    CommandLineScope cmdLine("korvanto");
    std::string initial;
    QStringList filters;
    QString selectedFilter;
    bool bAnyFile = false;
    bool bPanelEnabled = true;
    TestPanel panel;
    SetFileDialogResponder([&](CString& path) {
        initial = static_cast<LPCSTR>(path);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* pDialog = qobject_cast<QFileDialog*>(w); pDialog && pDialog->isVisible()) {
                filters = pDialog->nameFilters();
                selectedFilter = pDialog->selectedNameFilter();
                bAnyFile = pDialog->fileMode() == QFileDialog::AnyFile &&
                           pDialog->acceptMode() == QFileDialog::AcceptOpen;
            }
        }
        bPanelEnabled = panel.IsWindowEnabled() != FALSE;
        return FALSE;
    });
    RunPanel(panel, [&]() {
        Click(Item(panel, IDC_BROWSE));
        EXPECT_TRUE(panel.IsWindowEnabled());
    });
    SetFileDialogResponder({});
    EXPECT_EQ(initial, "*.bin");
    ASSERT_EQ(filters.size(), 2);
    EXPECT_TRUE(filters[0].startsWith(QStringLiteral("Binary Files (*.bin)")))
        << filters[0].toStdString();
    EXPECT_TRUE(filters[1].startsWith(QStringLiteral("All Files (*.*)")))
        << filters[1].toStdString();
    EXPECT_TRUE(selectedFilter.startsWith(QStringLiteral("Binary Files (*.bin)")));
    EXPECT_TRUE(bAnyFile);
    EXPECT_FALSE(bPanelEnabled);
}

} // namespace
