// The period dialog refuses a period that ends before it starts and an empty file name, and
// asks before an export replaces a file that is there already.
#include "window/period_dialog.h"
#include "support/widget_helpers.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(PeriodDialog, ChecksThePeriodAndAsksBeforeReplacingAFile) {
    TestEnvironment env;
    QTemporaryDir dir;
    const QString existing = dir.filePath("2026-12.txt");
    QFile(existing).open(QIODevice::WriteOnly);
    TPeriodChoice initial{{2026, 12, 1}, {2026, 12, 31}, TPeriodFormat::Text, existing.toStdString()};
    TPeriodDialog dialog(nullptr, true, initial);

    dialog.LastDay->setDate(QDate(2026, 11, 30));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(env.dialogs.errors, std::vector<std::string>{"最後の日が最初の日より前です"});
    dialog.LastDay->setDate(QDate(2026, 12, 31));

    env.dialogs.confirmAnswers = {false, true};
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    ASSERT_EQ(env.dialogs.confirmations.size(), 1u);
    EXPECT_NE(env.dialogs.confirmations[0].find("置き換えますか"), std::string::npos);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    // The extension follows the format; a new file is not asked about.
    dialog.Format->setCurrentIndex(static_cast<int>(TPeriodFormat::Markdown));
    EXPECT_EQ(dialog.FileName->text(), dir.filePath("2026-12.md"));
    dialog.setResult(QDialog::Rejected);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(env.dialogs.confirmations.size(), 2u);
    const TPeriodChoice chosen = dialog.Choice();
    EXPECT_EQ(chosen.first, (TYMD{2026, 12, 1}));
    EXPECT_EQ(chosen.last, (TYMD{2026, 12, 31}));
    EXPECT_EQ(chosen.format, TPeriodFormat::Markdown);
    EXPECT_EQ(chosen.file, dir.filePath("2026-12.md").toStdString());

    dialog.FileName->clear();
    dialog.accept();
    EXPECT_EQ(env.dialogs.errors.back(), "書き出すファイルを指定してください");
}
