// The diary search window as its user meets it: the fields before any search, a search
// called off half way, and the next search after it.
#include "window/search_window.h"
#include "diary/day_file_name.h"
#include "platform/sjis.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

namespace {

class SearchWindow : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TSearchWindow window;

    void SetUp() override {
        // Sixty days, each with the word, so that a stop can come before the end.
        for (int d = 1; d <= 60; ++d) {
            const TYMD day = JuliusToYMD(YMDToJulius(2026, 1, 1) + d - 1);
            std::ofstream(dir.filePath(QString::fromStdString(DayFileName(day.Year, day.Month, day.Day))).toStdString(),
                          std::ios::binary)
                << Sjis("今日も散歩した\r\n");
        }
        window.Folder = dir.path().toStdString();
        window.show();
    }

    // Runs the event loop until the search has ended, as the user waits for it.
    bool WaitUntilFinished() {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!window.SearchButton->isEnabled() && std::chrono::steady_clock::now() < until) QTest::qWait(20);
        return window.SearchButton->isEnabled();
    }
};

}  // namespace

TEST_F(SearchWindow, BeforeAnySearchTheFieldsShowTheirMnemonicsAndTheBarNoFigures) {
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (!label->text().contains('&')) continue;
        // A label without its field would draw the "&" as it stands.
        EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
    }
    QLabel* words = nullptr;
    for (QLabel* label : window.findChildren<QLabel*>())
        if (label->buddy() == window.WordsEdit) words = label;
    ASSERT_NE(words, nullptr);
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.ExactCheck->setFocus();
    QTest::keyClick(window.ExactCheck, Qt::Key_W, Qt::AltModifier);
    EXPECT_TRUE(window.WordsEdit->hasFocus());
    EXPECT_TRUE(window.Progress->text().isEmpty() || !window.Progress->isTextVisible()) << window.Progress->text().toStdString();
}

TEST_F(SearchWindow, StopSaysHowFarItGotAndTheNextSearchRuns) {
    window.WordsEdit->setText(QString::fromUtf8("散歩"));
    // A key just typed makes the search step aside between files: the stop comes early.
    QTest::keyClick(window.WordsEdit, Qt::Key_End);
    window.Run();
    ASSERT_FALSE(window.SearchButton->isEnabled());
    QTest::mouseClick(window.StopButton, Qt::LeftButton);
    EXPECT_TRUE(window.SearchButton->isEnabled());
    EXPECT_FALSE(window.StopButton->isEnabled());
    EXPECT_FALSE(window.Running());
    const QString status = window.StatusLabel->text();
    EXPECT_TRUE(status.startsWith(QString::fromUtf8("中止しました（60 日のうち ")) ||
                status.startsWith(QString::fromUtf8("中止しました: ")))
        << status.toStdString();
    EXPECT_LT(window.RowCount(), 60);
    // A late tick of the drain changes nothing any more.
    QTest::qWait(120);
    EXPECT_EQ(window.StatusLabel->text(), status);

    QTest::mouseClick(window.SearchButton, Qt::LeftButton);
    ASSERT_TRUE(WaitUntilFinished());
    EXPECT_EQ(window.StatusLabel->text(), QString::fromUtf8("60 日見つかりました"));
    EXPECT_EQ(window.RowCount(), 60);
    EXPECT_EQ(window.DayOfRow(0), (TYMD{2026, 3, 1}));
    EXPECT_EQ(window.Progress->text(), QString::fromUtf8("60 / 60 日"));
}
