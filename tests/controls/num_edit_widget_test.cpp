#include "controls/num_edit.h"
#include "controls/up_down.h"
#include "platform/exceptions.h"
#include "platform/qt_colors.h"
#include "support/widget_helpers.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class NumEditWidget : public ::testing::Test {
protected:
    TestEnvironment env;
    QWidget window;
    TNumEdit* field = new TNumEdit(&window);
    QLineEdit* next = new QLineEdit(&window);

    void SetUp() override {
        field->setGeometry(0, 0, 80, 22);
        next->setGeometry(0, 30, 80, 22);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        field->setFocus();
    }
};

}  // namespace

TEST_F(NumEditWidget, TypedKeysBuildTheNumberAndRefusedKeysBeep) {
    int changes = 0;
    field->OnChange = [&](TNumEdit*) { ++changes; };
    QTest::keyClicks(field, "1234");
    EXPECT_EQ(field->text(), "1,234");
    EXPECT_EQ(field->cursorPosition(), 5);
    EXPECT_EQ(changes, 4);
    QTest::keyClicks(field, "abc ");  // swallowed without a beep
    EXPECT_EQ(field->text(), "1,234");
    EXPECT_EQ(env.dialogs.beeps, 0);
    field->SetMaxDigits(4);
    QTest::keyClicks(field, "5");
    EXPECT_EQ(env.dialogs.beeps, 1);
    EXPECT_EQ(field->text(), "1,234");
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(field->text(), "123");
    // Left does not move the caret away from the end, Home selects everything.
    QTest::keyClick(field, Qt::Key_Left);
    EXPECT_EQ(field->cursorPosition(), 3);
    QTest::keyClick(field, Qt::Key_Home);
    EXPECT_EQ(field->selectedText(), "123");
    QTest::keyClicks(field, "9");
    EXPECT_EQ(field->text(), "9");
}

TEST_F(NumEditWidget, PasteReadsTheClipboardAsANumber) {
    QApplication::clipboard()->setText(QString::fromUtf8("１，２３４"));
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(field->text(), "1,234");
    EXPECT_EQ(field->Value(), 1234);
    QApplication::clipboard()->setText("12,34");
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(field->text(), "");
    EXPECT_EQ(field->Value(), 0);
    // Text set from outside is read back; garbage becomes zero.
    field->SetText("-123,456");
    EXPECT_EQ(field->Value(), -123456);
    field->setText(QString::fromUtf8("ほげ"));
    EXPECT_EQ(field->text(), "");
    // A read-only field takes no keys and no paste, but copies.
    field->SetValue(42);
    field->setReadOnly(true);
    QApplication::clipboard()->setText("7");
    QTest::keyClicks(field, "5");
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(field->text(), "42");
    field->selectAll();
    QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "42");
}

TEST_F(NumEditWidget, NegativeNumbersShowInTheMinusColour) {
    field->SetMinusColor(clRed);
    QTest::keyClicks(field, "-5");
    EXPECT_EQ(field->text(), "-5");
    EXPECT_EQ(field->palette().color(QPalette::Text), ToQColor(clRed));
    QTest::keyClicks(field, "-");
    EXPECT_EQ(field->palette().color(QPalette::Text), ToQColor(clWindowText));
}

TEST_F(NumEditWidget, LeavingCompletesFixedDecimalsAndEscapeRestores) {
    field->SetFixDecimal(2);
    QTest::keyClicks(field, "1.");
    next->setFocus();
    EXPECT_EQ(field->text(), "1.00");
    field->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(field->selectedText(), "1.00");  // focus by keyboard selects the whole text
    QTest::keyClicks(field, "37");
    EXPECT_EQ(field->text(), "37");
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_EQ(field->text(), "1.00");
    field->SetEnterNext(true);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_TRUE(next->hasFocus());
}

TEST_F(NumEditWidget, AClickPutsTheCaretAtTheEnd) {
    field->SetValue(12345);
    QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(60, 10));
    EXPECT_EQ(field->cursorPosition(), field->text().size());
    EXPECT_FALSE(field->hasSelectedText());
}

namespace {

class UpDownWidget : public ::testing::Test {
protected:
    TestEnvironment env;
    QWidget window;
    TNumEdit* field = new TNumEdit(&window);
    TUpDown* upDown = new TUpDown(&window);
    std::vector<int> clicks;

    void SetUp() override {
        field->setGeometry(0, 0, 50, 22);
        field->setReadOnly(true);
        field->SetPutAComma(false);
        upDown->setGeometry(50, 0, 16, 22);
        upDown->SetMin(0);
        upDown->SetMax(3000);
        upDown->SetAssociate(field);
        upDown->SetPosition(2024);
        upDown->OnClick = [this](int p) { clicks.push_back(p); };
        window.show();
    }
    QPoint UpperArrow() const { return {8, 4}; }
};

}  // namespace

TEST_F(UpDownWidget, WritesThePositionThroughTheFieldsTextRules) {
    EXPECT_EQ(field->text(), "2024");  // written as "2,024", shown without separators
    EXPECT_EQ(field->Value(), 2024);
    upDown->SetPosition(5000);
    EXPECT_EQ(field->text(), "3000");
}

TEST_F(UpDownWidget, StepsFromTheNumberTheFieldShows) {
    field->SetValue(1999);  // set directly, as the week calendar's day change does
    upDown->Step(+1);
    EXPECT_EQ(field->text(), "2000");
    EXPECT_EQ(clicks, std::vector<int>{2000});
    // Past the bound in its own direction nothing happens; the other way still steps.
    field->SetValue(3005);
    upDown->Step(+1);
    EXPECT_EQ(field->text(), "3005");
    upDown->Step(-1);
    EXPECT_EQ(field->text(), "3004");
}

TEST_F(UpDownWidget, UpAndDownKeysInTheFieldStep) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Up);
    QTest::keyClick(field, Qt::Key_Up);
    QTest::keyClick(field, Qt::Key_Down);
    EXPECT_EQ(clicks, (std::vector<int>{2025, 2026, 2025}));
}

TEST_F(UpDownWidget, AHeldArrowRepeatsUntilReleased) {
    QTest::mousePress(upDown, Qt::LeftButton, {}, UpperArrow());
    EXPECT_EQ(upDown->PressedArrow(), 1);
    QTest::qWait(upDown->RepeatDelay() + 4 * upDown->RepeatInterval() + 100);
    QTest::mouseRelease(upDown, Qt::LeftButton, {}, UpperArrow());
    std::size_t held = clicks.size();
    EXPECT_GE(held, 3u);
    EXPECT_EQ(clicks.back(), 2024 + static_cast<int>(held));
    QTest::qWait(2 * upDown->RepeatInterval() + 50);
    EXPECT_EQ(clicks.size(), held);
    EXPECT_EQ(upDown->PressedArrow(), 0);
}

TEST_F(UpDownWidget, AFailedStepLetsTheArrowGo) {
    // The error box of a failing step takes the mouse, so the release never comes.
    upDown->OnClick = [](int) { throw std::runtime_error("1582/10/5-10/14は存在しません。"); };
    QTest::mousePress(upDown, Qt::LeftButton, {}, UpperArrow());
    ASSERT_EQ(env.dialogs.errors.size(), 1u);
    EXPECT_EQ(upDown->PressedArrow(), 0);
    QTest::qWait(upDown->RepeatDelay() + 2 * upDown->RepeatInterval());
    EXPECT_EQ(env.dialogs.errors.size(), 1u);  // no repeat behind the box
}
