// The open-file dialog: a real non-native dialog with the program's settings, run by
// its own loop with its owner disabled; the chosen path, completed as the platform does.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "ui/TestSeams.h"
#include "ui/testing/QtAccess.h"

namespace {

const char kFilter[] = "Binary Files (*.bin)|*.bin|All Files (*.*)|*.*||";

QFileDialog* OpenFileDialog() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* p = qobject_cast<QFileDialog*>(w); p && p->isVisible())
            return p;
    }
    return nullptr;
}

class FileDialogFixture : public ::testing::Test {
protected:
    void TearDown() override { SetFileDialogResponder({}); }
    QTemporaryDir m_dir;
    QString Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
};

TEST_F(FileDialogFixture, RealDialogHasTheSettingsAndItsOwnerIsDisabled) {
    ProbeDialog panel;
    QStringList filters;
    QFileDialog::FileMode mode = QFileDialog::Directory;
    QFileDialog::AcceptMode accept = QFileDialog::AcceptSave;
    bool bNonNative = false;
    bool bPanelEnabled = true;
    CString initial;
    INT_PTR nResult = 0;
    CString chosen;
    RunModal(panel, [&]() {
        SetFileDialogResponder([&](CString& path) {
            QFileDialog* p = OpenFileDialog();
            EXPECT_NE(p, nullptr);
            if (p) {
                filters = p->nameFilters();
                mode = p->fileMode();
                accept = p->acceptMode();
                bNonNative = p->testOption(QFileDialog::DontUseNativeDialog);
            }
            bPanelEnabled = WidgetFromHandle(panel.m_hWnd)->isEnabled();
            initial = path;
            path = Path("bild.bin").toUtf8().constData();
            return TRUE;
        });
        CFileDialog dlg(TRUE, ".bin", "*.bin", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kFilter,
                        &panel);
        nResult = dlg.DoModal();
        chosen = dlg.GetPathName();
        EXPECT_TRUE(WidgetFromHandle(panel.m_hWnd)->isEnabled());
    });
    EXPECT_EQ(nResult, IDOK);
    EXPECT_STREQ(chosen, Path("bild.bin").toUtf8().constData());
    EXPECT_EQ(filters, (QStringList{QStringLiteral("Binary Files (*.bin) (*.bin)"),
                                    QStringLiteral("All Files (*.*) (*)")}));
    EXPECT_EQ(mode, QFileDialog::AnyFile) << "an open dialog that does not insist on a file";
    EXPECT_EQ(accept, QFileDialog::AcceptOpen);
    EXPECT_TRUE(bNonNative);
    EXPECT_FALSE(bPanelEnabled);
    EXPECT_STREQ(initial, "*.bin");
}

TEST_F(FileDialogFixture, CancelGivesIdCancelAndNoPath) {
    SetFileDialogResponder([](CString&) { return FALSE; });
    CFileDialog dlg(TRUE, ".bin", "*.bin", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kFilter);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_STREQ(dlg.GetPathName(), "");
}

struct PathCase {
    const char* name;
    const char* pszChosen;   // relative to the temporary folder; "" for none
    bool bCreate;            // the file exists
    const char* pszExpected; // relative to the temporary folder
};

class FileDialogPathTest : public FileDialogFixture,
                           public ::testing::WithParamInterface<PathCase> {};

TEST_P(FileDialogPathTest, PathIsCompletedLikeThePlatformDoes) {
    const PathCase& c = GetParam();
    if (c.bCreate) {
        QFile f(Path(c.pszChosen));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QString chosen = Path(c.pszChosen);
    SetFileDialogResponder([&](CString& path) {
        path = chosen.toUtf8().constData();
        return TRUE;
    });
    CFileDialog dlg(TRUE, ".bin", "*.bin", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kFilter);
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_STREQ(dlg.GetPathName(), Path(c.pszExpected).toUtf8().constData());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileDialogPathTest,
    ::testing::Values(PathCase{"NewNameGetsTheExtension", "neu", false, "neu.bin"},
                      PathCase{"ExistingNameStays", "ohne", true, "ohne"},
                      PathCase{"OtherExtensionStays", "bild.hex", false, "bild.hex"},
                      PathCase{"BlanksKept", "mein bild", false, "mein bild.bin"}),
    [](const ::testing::TestParamInfo<PathCase>& info) { return std::string(info.param.name); });

TEST_F(FileDialogFixture, RelativeChoiceBecomesAFullPath) {
    SetFileDialogResponder([](CString& path) {
        path = "relativ.bin";
        return TRUE;
    });
    CFileDialog dlg(TRUE, ".bin", nullptr, OFN_HIDEREADONLY, kFilter);
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_STREQ(
        dlg.GetPathName(),
        QDir::current().absoluteFilePath(QStringLiteral("relativ.bin")).toUtf8().constData());
}

// Without the seam: the real dialog takes a typed name of a file that does not exist.
TEST_F(FileDialogFixture, RealDialogAcceptsANameThatDoesNotExist) {
    QString typed = Path("gibt-es-nicht.bin");
    QTimer::singleShot(0, [&]() {
        QFileDialog* p = OpenFileDialog();
        ASSERT_NE(p, nullptr);
        auto* pEdit = p->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(pEdit, nullptr);
        pEdit->setText(typed);
        QTest::keyClick(pEdit, Qt::Key_Return);
        if (p->isVisible())
            p->reject(); // the dialog refused: the test fails below, not hangs
    });
    CFileDialog dlg(TRUE, ".bin", "*.bin", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kFilter);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_STREQ(dlg.GetPathName(), typed.toUtf8().constData());
}

// What the list shows: its entries' names, sorted, separated by blanks.
std::string Shown(QFileDialog* p) {
    auto* pList = p->findChild<QListView*>(QStringLiteral("listView"));
    QStringList names;
    if (!pList || !pList->model())
        return std::string();
    QAbstractItemModel* pModel = pList->model();
    for (int r = 0; r < pModel->rowCount(pList->rootIndex()); ++r)
        names << pModel->index(r, 0, pList->rootIndex()).data().toString();
    names.sort();
    return names.join(QLatin1Char(' ')).toStdString();
}

// The real dialog, typed into as a user does: the initial pattern stands in the name
// box; a pattern there, kept or typed (also after a folder), picks what the list shows
// and leaves the dialog open; a real name confirms it.
TEST_F(FileDialogFixture, PatternInTheNameBoxFiltersAndOnlyARealNameConfirms) {
    for (const char* name : {"a.bin", "b.bin", "c.txt", "sub/d.bin", "sub/e.txt"}) {
        QDir().mkpath(QFileInfo(Path(name)).path());
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name;
    }
    struct Step {
        std::string typed; // "": Return on what the box holds
        std::string shown;
        std::string box;
    };
    const std::vector<Step> steps = {
        {(m_dir.path() + "/*.bin").toStdString(), "a.bin b.bin sub", "*.bin"},
        {"", "a.bin b.bin sub", "*.bin"},
        {"*.txt", "c.txt sub", "*.txt"},
        {"*.bin;*.txt", "a.bin b.bin c.txt sub", "*.bin;*.txt"},
        {"sub/*.bin", "d.bin", "*.bin"},
    };
    std::string initialBox;
    std::vector<std::string> shown;
    std::vector<std::string> boxes;
    std::vector<bool> open;
    QTimer::singleShot(0, [&]() {
        QFileDialog* p = OpenFileDialog();
        ASSERT_NE(p, nullptr);
        auto* pBox = p->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(pBox, nullptr);
        initialBox = pBox->text().toStdString();
        for (const Step& step : steps) {
            if (!step.typed.empty())
                pBox->setText(QString::fromStdString(step.typed));
            QTest::keyClick(pBox, Qt::Key_Return);
            // The list is read by a thread of Qt's: it may take a moment.
            (void)QTest::qWaitFor([&]() { return Shown(p) == step.shown; }, 5000);
            shown.push_back(Shown(p));
            boxes.push_back(pBox->text().toStdString());
            open.push_back(p->isVisible());
        }
        pBox->setText(QStringLiteral("d.bin"));
        QTest::keyClick(pBox, Qt::Key_Return);
        if (p->isVisible())
            p->reject(); // the dialog refused: the test fails below, not hangs
    });
    CFileDialog dlg(TRUE, ".bin", "*.bin", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kFilter);
    INT_PTR nResult = dlg.DoModal();
    EXPECT_EQ(initialBox, "*.bin");
    ASSERT_EQ(shown.size(), steps.size());
    for (std::size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(shown[i], steps[i].shown) << i;
        EXPECT_EQ(boxes[i], steps[i].box) << i;
        EXPECT_TRUE(open[i]) << "a pattern confirmed the dialog, step " << i;
    }
    EXPECT_EQ(nResult, IDOK);
    EXPECT_STREQ(dlg.GetPathName(), Path("sub/d.bin").toUtf8().constData());
}

} // namespace
