#include "controls/fm_readme.h"
#include "controls/readme_dialog.h"
#include "platform/qt_colors.h"

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QPoint OkCentre(const TfmReadme& form) {
    return form.BtnOK->mapToGlobal(QPoint(form.BtnOK->width() / 2, form.BtnOK->height() / 2));
}

// Runs `check` on the modal form as soon as it is shown, then closes it with OK.
void OnModalForm(const std::function<void(TfmReadme*)>& check) {
    QTimer::singleShot(0, [check] {
        auto* form = dynamic_cast<TfmReadme*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        check(form);
        form->BtnOK->click();
    });
}

}  // namespace

TEST(ReadmeDialog, DefaultsOfTheComponent) {
    TReadmeDialog d;
    EXPECT_EQ(d.DialogCaption, "Readme");
    EXPECT_EQ(d.Lines(), (QStringList{"Read", "eMail: "}));
    EXPECT_EQ(d.InsBehindString, "eMail: ");
    EXPECT_EQ(d.InsString, "e.g. your eMail-address");
    EXPECT_EQ(d.ShowOnStartCaption, "Show Readme on next start?");
    EXPECT_TRUE(d.ShowOnStartVisible);
    EXPECT_FALSE(d.ShowOnStart);
    EXPECT_EQ(d.BtnOKCaption, "&OK");
    EXPECT_EQ(d.MemoColor, clInfoBk);
    EXPECT_EQ(d.TitleFont().Size(), 18);
    EXPECT_EQ(d.TitleFont().Style(), fsBold | fsItalic);
    EXPECT_EQ(d.TitleFont().Color(), clActiveCaption);
    EXPECT_EQ(d.CopyrightFont().Style(), fsBold);
    EXPECT_EQ(d.CopyrightFont().Color(), clInfoText);
    // The fonts are copies, not the caller's objects.
    TFont f;
    f.SetHeight(-30);
    d.SetMemoFont(f);
    f.SetHeight(-10);
    EXPECT_EQ(d.MemoFont().Height(), -30);
}

TEST(ReadmeDialog, FormLayout) {
    TReadmeDialog d;
    QPixmap picture(32, 32);
    picture.fill(Qt::green);
    d.SetPicture(picture);
    d.TitleCaption = "Mekuri";
    auto form = d.CreateForm();
    EXPECT_EQ(form->size(), QSize(460, 300));
    EXPECT_EQ(form->Title->pos(), QPoint(13, 8));
    EXPECT_EQ(form->Title->size(), form->Title->sizeHint());
    EXPECT_EQ(form->pnlRead->geometry(), QRect(8, 45, 442, 216));
    EXPECT_EQ(form->ImgReadme->geometry(), QRect(13, 16, 32, 32));
    EXPECT_EQ(form->pnlMemo->geometry().size(), QSize(377, 214));
    EXPECT_EQ(form->pnlMemo->geometry().right(), 442 - 2);  // right-aligned inside the bevel
    EXPECT_EQ(form->MemoReadme->geometry(), QRect(0, 214 - 153, 377, 153));
    EXPECT_EQ(form->Bevel1->geometry(), QRect(0, 214 - 154, 377, 1));
    EXPECT_EQ(form->Copyright->geometry(), QRect(0, 214 - 198, 377, 44));
    EXPECT_EQ(form->cbShowOnStart->geometry().topLeft(), QPoint(13, 272));
    EXPECT_EQ(form->cbShowOnStart->width(), 353);
    EXPECT_EQ(form->BtnOK->geometry(), QRect(375, 268, 75, 25));
    EXPECT_EQ(form->BtnOK->text(), "&OK");
    EXPECT_EQ(form->windowTitle(), "Readme");
    EXPECT_TRUE(form->MemoReadme->isReadOnly());
    EXPECT_EQ(form->MemoReadme->focusPolicy() & Qt::TabFocus, 0);
    EXPECT_EQ(form->MemoReadme->palette().color(QPalette::Base), ToQColor(clInfoBk));
    EXPECT_EQ(form->Bevel1->palette().color(QPalette::Window), QColor(0, 0, 128));
    EXPECT_FALSE(form->windowFlags() & Qt::WindowCloseButtonHint);
}

TEST(ReadmeDialog, AddressGoesBehindTheMarkerAndIsSelected) {
    TReadmeDialog d;
    d.SetLines({"E-Mail: ", "", "Write to E-Mail: if in doubt"});
    d.InsBehindString = "E-Mail: ";
    d.InsString = "mekuri@example.org";
    auto form = d.CreateForm();
    QStringList lines = form->MemoReadme->toPlainText().split('\n');
    EXPECT_EQ(lines[0], "E-Mail: mekuri@example.org");
    EXPECT_EQ(lines[2], "Write to E-Mail: if in doubt");  // only the first marker
    EXPECT_EQ(form->MemoReadme->textCursor().selectedText(), "mekuri@example.org");
    EXPECT_EQ(form->MemoReadme->textCursor().selectionStart(), 8);
    // Without the marker nothing is inserted.
    d.InsBehindString = "URL: ";
    auto plain = d.CreateForm();
    EXPECT_EQ(plain->MemoReadme->toPlainText(), "E-Mail: \n\nWrite to E-Mail: if in doubt");
    EXPECT_FALSE(plain->MemoReadme->textCursor().hasSelection());
}

TEST(ReadmeDialog, TextFileWinsOverLinesWhenItExists) {
    QTemporaryDir dir;
    QString path = dir.filePath("readme.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x93\xfa\x8b\x4c eMail: \r\n");  // "日記 eMail: " in CP932
    file.close();
    TReadmeDialog d;
    d.TextFile = path;
    EXPECT_TRUE(d.CreateForm()->MemoReadme->toPlainText().startsWith(QString::fromUtf8("日記 eMail: e.g. your eMail-address")));
    d.TextFile = dir.filePath("missing.txt");
    EXPECT_EQ(d.CreateForm()->MemoReadme->toPlainText(), "Read\neMail: e.g. your eMail-address");
}

TEST(ReadmeDialog, PointerGoesToOkAfterTheTimerAndAfterTheCheckBox) {
    TReadmeDialog d;
    auto form = d.CreateForm();
    QCursor::setPos(1, 1);
    form->show();
    EXPECT_TRUE(form->Timer1.isActive());
    EXPECT_EQ(form->Timer1.interval(), 100);
    QTRY_COMPARE_WITH_TIMEOUT(QCursor::pos(), OkCentre(*form), 2000);
    EXPECT_FALSE(form->Timer1.isActive());  // once per showing
    QCursor::setPos(1, 1);
    form->cbShowOnStart->click();
    EXPECT_EQ(QCursor::pos(), OkCentre(*form));
}

TEST(ReadmeDialog, ShowDialogReturnsTheCheckBoxState) {
    TReadmeDialog d;
    OnModalForm([](TfmReadme* form) { form->cbShowOnStart->click(); });
    EXPECT_TRUE(d.ShowDialog());
    EXPECT_TRUE(d.ShowOnStart);
    // Hidden, the box cannot change: the state comes back unchanged.
    d.ShowOnStartVisible = false;
    OnModalForm([](TfmReadme* form) { EXPECT_FALSE(form->cbShowOnStart->isVisible()); });
    EXPECT_TRUE(d.ShowDialog());
}
