// Message boxes: a real box with its own loop; the owner is disabled only when there is one.
#include <QApplication>
#include <QMessageBox>
#include <QWidget>
#include <gtest/gtest.h>

#include "ui/TestSeams.h"
#include "ui/testing/QtAccess.h"

namespace {

class MessageBoxFixture : public ::testing::Test {
protected:
    void SetUp() override { m_hWindow = CreateTestControl("STATIC", 0, TRUE); }
    void TearDown() override {
        SetBoxResponder({});
        DestroyTestControl(m_hWindow);
    }
    HWND m_hWindow = nullptr;
};

TEST_F(MessageBoxFixture, ResponderSeesTheOpenBoxAndItsAnswerIsReturned) {
    BoxCall seen{};
    bool bBoxOpen = false;
    SetBoxResponder([&](const BoxCall& call) {
        seen = call;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* pBox = qobject_cast<QMessageBox*>(w); pBox && pBox->isVisible())
                bBoxOpen = pBox->text() == QStringLiteral("Zeile 1\nZeile <b>2</b>") &&
                           pBox->windowTitle() == QStringLiteral("Schwerer Fehler") &&
                           pBox->icon() == QMessageBox::Critical;
        }
        return IDCANCEL;
    });
    int nResult =
        MessageBoxA(nullptr, "Zeile 1\nZeile <b>2</b>", "Schwerer Fehler", MB_OK | MB_ICONERROR);
    EXPECT_EQ(nResult, IDCANCEL);
    EXPECT_TRUE(bBoxOpen);
    EXPECT_EQ(seen.hOwner, nullptr);
    EXPECT_STREQ(seen.text, "Zeile 1\nZeile <b>2</b>");
    EXPECT_STREQ(seen.caption, "Schwerer Fehler");
    EXPECT_EQ(seen.type, MB_OK | MB_ICONERROR);
}

TEST_F(MessageBoxFixture, TextIsShownAsItStandsWithoutMarkup) {
    Qt::TextFormat format = Qt::AutoText;
    SetBoxResponder([&](const BoxCall&) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* pBox = qobject_cast<QMessageBox*>(w); pBox && pBox->isVisible())
                format = pBox->textFormat();
        }
        return IDOK;
    });
    MessageBoxA(nullptr, "<i>datei.bin</i>", "x", MB_OK);
    EXPECT_EQ(format, Qt::PlainText);
}

TEST_F(MessageBoxFixture, OwnerlessBoxLeavesWindowsEnabledOwnedBoxDisablesItsOwner) {
    QWidget* pWindow = WidgetFromHandle(m_hWindow);
    bool bEnabledDuring = false;
    SetBoxResponder([&](const BoxCall&) {
        bEnabledDuring = pWindow->isEnabled();
        return IDOK;
    });
    MessageBoxA(nullptr, "ohne Besitzer", "x", MB_OK);
    EXPECT_TRUE(bEnabledDuring);

    BoxCall seen{};
    SetBoxResponder([&](const BoxCall& call) {
        seen = call;
        bEnabledDuring = pWindow->isEnabled();
        return IDOK;
    });
    MessageBoxA(m_hWindow, "mit Besitzer", "x", MB_OK);
    EXPECT_FALSE(bEnabledDuring);
    EXPECT_EQ(seen.hOwner, m_hWindow);
    EXPECT_TRUE(pWindow->isEnabled());
}

TEST_F(MessageBoxFixture, NestedBoxesFromTheResponderEachRunTheirOwnLoop) {
    int nDepth = 0;
    int nMaxDepth = 0;
    SetBoxResponder([&](const BoxCall& call) {
        ++nDepth;
        nMaxDepth = std::max(nMaxDepth, nDepth);
        if (CString(call.text) == "außen") {
            EXPECT_EQ(MessageBoxA(nullptr, "innen", "x", MB_OK), IDYES);
        }
        --nDepth;
        return CString(call.text) == "außen" ? IDNO : IDYES;
    });
    EXPECT_EQ(MessageBoxA(nullptr, "außen", "x", MB_YESNO), IDNO);
    EXPECT_EQ(nMaxDepth, 2);
}

} // namespace
