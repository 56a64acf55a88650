// The main window's tool bar and its about box.
#include "main_window_test.h"
#include "window/form1.h"
#include "controls/fm_readme.h"
#include "controls/readme_dialog.h"
#include "controls/tab_tool_bar.h"
#include "settings/ini_store.h"
#include "support/widget_helpers.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>

namespace {

class ToolBarAndReadme : public MainWindowTest {
protected:
    void SetUp() override {
        Start();
        QApplication::processEvents();
    }
    // Layout requests travel up the parents one posted event at a time.
    static void SettleLayouts() {
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
    }
    // Pixels of an icon that are not transparent.
    static int Ink(const QIcon& icon, int size, qreal ratio) {
        QImage img = icon.pixmap(QSize(size, size), ratio).toImage();
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qAlpha(img.pixel(x, y)) > 0) ++n;
        return n;
    }
};

}  // namespace

TEST_F(ToolBarAndReadme, ToolBarCollapsesToATwelvePixelStripAndBack) {
    TTabToolBar* bar = form->TabToolBar1;
    EXPECT_EQ(bar->TabSizeMinimized(), 35);
    EXPECT_TRUE(bar->AutoSize());
    int expanded = bar->height();
    int coolBar = form->CoolBar1->height();
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(4, bar->height() / 2));
    SettleLayouts();
    EXPECT_FALSE(bar->Maximized());
    EXPECT_EQ(bar->height(), 12);
    EXPECT_EQ(bar->TabRect().width(), 35);
    EXPECT_LT(form->CoolBar1->height(), coolBar);  // the calendars get the room
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(4, 6));
    SettleLayouts();
    EXPECT_TRUE(bar->Maximized());
    EXPECT_EQ(bar->height(), expanded);
    EXPECT_EQ(form->CoolBar1->height(), coolBar);
}

TEST_F(ToolBarAndReadme, EightButtonsWithHintsAndRealIcons) {
    QAction* buttons[] = {form->ToolButton1, form->ToolButton2, form->ToolButton3, form->ToolButton4,
                          form->ToolButton5, form->ToolButton7, form->ToolButton8};
    const char* shortHints[] = {"保存", "切り取り", "コピー", "張り付け", "印刷", "フォント", "カラー"};
    for (int i = 0; i < 7; ++i) {
        ASSERT_NE(buttons[i], nullptr);
        EXPECT_EQ(buttons[i]->toolTip(), QString::fromUtf8(shortHints[i]));
        EXPECT_FALSE(buttons[i]->statusTip().isEmpty());
        // A picture at 16 pixels and at twice that for high-density screens.
        EXPECT_GT(Ink(buttons[i]->icon(), 16, 1.0), 40) << i;
        EXPECT_GT(Ink(buttons[i]->icon(), 16, 2.0), 160) << i;
    }
    EXPECT_EQ(form->ToolButton1->statusTip(), QString::fromUtf8("エディタの内容を保存します"));
    EXPECT_GT(Ink(form->windowIcon(), 32, 1.0), 500);
}

TEST_F(ToolBarAndReadme, ButtonsFollowTheMenuCommands) {
    // The copy button runs the menu's copy command and is usable when it is.
    QAction* copy = nullptr;
    for (QAction* menu : form->menuBar()->actions())
        for (QAction* a : menu->menu()->actions())
            if (a->text() == QString::fromUtf8("コピー(&C)")) copy = a;
    ASSERT_NE(copy, nullptr);
    int runs = 0;
    QObject::connect(copy, &QAction::triggered, [&runs] { ++runs; });
    copy->setEnabled(true);
    EXPECT_TRUE(form->ToolButton3->isEnabled());
    form->ToolButton3->trigger();
    EXPECT_EQ(runs, 1);
    copy->setEnabled(false);
    EXPECT_FALSE(form->ToolButton3->isEnabled());
}

// The box shows only what is true: no invented mail or web address, nothing selected, and
// faults go where the readme sends them.
TEST_F(ToolBarAndReadme, AboutShowsOnlyWhatIsTrue) {
    ASSERT_TRUE(form->About1->isEnabled());
    bool seen = false;
    QTimer::singleShot(0, [&seen] {
        auto* box = dynamic_cast<TfmReadme*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->windowTitle(), QString::fromUtf8("バージョン情報・説明"));
        EXPECT_EQ(box->MemoReadme->textCursor().selectedText(), "");
        const QString text = box->MemoReadme->toPlainText();
        for (const char* invented : {"@", "://", "example", "E-Mail", "URL"})
            EXPECT_FALSE(text.contains(QString::fromUtf8(invented))) << invented;
        EXPECT_TRUE(text.section('\n', 0, 0).contains("issue tracker"));
        EXPECT_FALSE(box->cbShowOnStart->isVisible());
        box->BtnOK->click();
    });
    form->About1->trigger();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(form->Readme()->ShowOnStart);  // the hidden box cannot change it

    QFile readme(QStringLiteral(MEKURI_SOURCE_DIR "/README.md"));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString faults = QString::fromUtf8(readme.readAll()).section("## Reporting faults", 1).section("\n## ", 0, 0);
    EXPECT_TRUE(faults.contains("issue tracker")) << "the readme says where faults go";
}

// Every library the program and its window library are linked with is thanked by name,
// so a new one cannot slip in unthanked.
TEST_F(ToolBarAndReadme, ThanksNameEveryLinkedLibrary) {
#ifdef MEKURI_SANITIZE_BUILD
    GTEST_SKIP() << "a sanitizer build links its checking runtime and more than the program ships with";
#endif
    // Shared object name prefix, and the name the thanks use for its makers' work.
    const std::pair<const char*, const char*> makers[] = {
        {"libQt6", "Qt 6"},       {"libnova", "libnova"}, {"libfontconfig", "fontconfig"}, {"libicu", "ICU"},
        {"libc.", "GNU C ライブラリ"}, {"libm.", "GNU C ライブラリ"},
        {"ld-linux", "GNU C ライブラリ"}, {"libstdc++", "GCC"}, {"libgcc_s", "GCC"},
    };
    const QString thanks = form->Readme()->Lines().join('\n').section(QString::fromUtf8("■ 謝辞"), 1);
    static const QRegularExpression needed(R"(\(NEEDED\).*\[(.+)\])");
    QStringList libraries;
    for (const char* file : {MEKURI_PROGRAM, MEKURI_WINDOW_LIBRARY}) {
        QProcess readelf;
        readelf.start("readelf", {"--dynamic", "--wide", QString::fromUtf8(file)});
        ASSERT_TRUE(readelf.waitForFinished(30000));
        ASSERT_EQ(readelf.exitCode(), 0) << file;
        const QString dynamic = QString::fromUtf8(readelf.readAllStandardOutput());
        int count = 0;
        for (auto m = needed.globalMatch(dynamic); m.hasNext(); ++count) libraries << m.next().captured(1);
        EXPECT_GE(count, 4) << file;
    }
    for (const QString& library : libraries) {
        const auto maker = std::find_if(std::begin(makers), std::end(makers),
                                        [&](const auto& p) { return library.startsWith(QLatin1String(p.first)); });
        ASSERT_NE(maker, std::end(makers)) << "no maker known for " << library.toStdString();
        EXPECT_TRUE(thanks.contains(QString::fromUtf8(maker->second))) << library.toStdString();
    }
    EXPECT_TRUE(libraries.contains("libQt6Widgets.so.6")) << "the window library's own list was read";
}

TEST_F(ToolBarAndReadme, ReadmeTextAgreesWithTheLicenceFile) {
    QFile licence(QStringLiteral(MEKURI_SOURCE_DIR "/LICENSE"));
    ASSERT_TRUE(licence.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(licence.readAll());
    EXPECT_TRUE(text.startsWith("MIT License"));
    EXPECT_TRUE(form->Readme()->Lines().join('\n').contains("MIT"));
    EXPECT_TRUE(form->Readme()->CopyrightCaption.contains("MIT"));
    EXPECT_TRUE(text.contains("Copyright (c) 2026"));
    EXPECT_TRUE(form->Readme()->CopyrightCaption.contains("Copyright (c) 2026"));
}
