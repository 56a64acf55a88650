// Errors raised by handlers stop at the handler's edge and reach the error box once.
#include "platform/dialogs.h"
#include "platform/exceptions.h"
#include "platform/handler_guard.h"

#include <QAction>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>

namespace {

class HandlerGuard : public ::testing::Test {
protected:
    void SetUp() override { TDialogs::Install(&dialogs); }
    void TearDown() override { TDialogs::Install(nullptr); }
    TScriptedDialogs dialogs;
};

}  // namespace

TEST_F(HandlerGuard, AnErrorStopsTheHandlerAndIsShownOnce) {
    std::vector<std::string> steps;
    std::function<void(int)> onClick = Guarded([&](int n) {
        steps.push_back("before " + std::to_string(n));
        throw EFileError("保存できません");
        steps.push_back("after");
    });
    onClick(3);
    EXPECT_EQ(steps, std::vector<std::string>{"before 3"});
    EXPECT_EQ(dialogs.errors, std::vector<std::string>{"保存できません"});

    std::function<bool()> onQuery = Guarded([]() -> bool { throw 1; });
    EXPECT_FALSE(onQuery());
    EXPECT_EQ(dialogs.errors.back(), "不明なエラーが発生しました");
}

TEST_F(HandlerGuard, AnErrorInANestedHandlerIsShownWhenTheOutermostReturns) {
    // A component raising an event from inside another handler goes on with its own work;
    // the box waits until the event's outermost handler is done, and shows the first error.
    size_t shownInside = 99;
    bool failedBefore = true, failedAfter = false;
    std::function<void()> inner = Guarded([] { throw Exception("内側"); });
    std::function<void()> second = Guarded([] { throw Exception("二つ目"); });
    std::function<void()> outer = Guarded([&] {
        failedBefore = HandlerFailed();
        inner();
        failedAfter = HandlerFailed();  // the raiser may stop early
        second();
        shownInside = dialogs.errors.size();
    });
    outer();
    EXPECT_FALSE(failedBefore);
    EXPECT_TRUE(failedAfter);
    EXPECT_EQ(shownInside, 0u);
    EXPECT_EQ(dialogs.errors, std::vector<std::string>{"内側"});
    EXPECT_FALSE(HandlerFailed());
}

TEST_F(HandlerGuard, AQtSignalsHandlerIsGuardedToo) {
    QAction action;
    int after = 0;
    QObject::connect(&action, &QAction::triggered, &action, Guarded([] { throw Exception("メニュー"); }));
    QObject::connect(&action, &QAction::triggered, &action, Guarded([&] { ++after; }));
    action.trigger();
    EXPECT_EQ(dialogs.errors, std::vector<std::string>{"メニュー"});
    EXPECT_EQ(after, 1);  // the signal's other handlers still run
}

TEST_F(HandlerGuard, WithinAnEventTheBoxWaitsUntilTheEventIsDelivered) {
    // The widget goes on after its handler failed; the box opens only once the press has
    // been delivered, when the widget is done with it.
    struct TButton : QWidget {
        std::function<void()> OnPress;
        size_t shownBeforeReturn = 99;
        TScriptedDialogs* dialogs = nullptr;
        void mousePressEvent(QMouseEvent*) override {
            OnPress();
            shownBeforeReturn = dialogs->errors.size();
        }
    } button;
    button.dialogs = &dialogs;
    button.OnPress = Guarded([] { throw Exception("押せません"); });
    QTest::mousePress(&button, Qt::LeftButton);
    EXPECT_EQ(button.shownBeforeReturn, 0u);
    EXPECT_EQ(dialogs.errors, std::vector<std::string>{"押せません"});
}
