#include "controls/readme_dialog.h"

#include "controls/fm_readme.h"
#include "platform/qt_colors.h"
#include "platform/qt_fonts.h"
#include "platform/qt_text.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

namespace {

void Paint(QWidget* w, TColor color) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, ToQColor(color));
    p.setColor(QPalette::Base, ToQColor(color));
    w->setPalette(p);
}

void ApplyFont(QWidget* w, const TFont& f) {
    w->setFont(ToQFont(f));
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, ToQColor(f.Color()));
    p.setColor(QPalette::Text, ToQColor(f.Color()));
    w->setPalette(p);
}

}  // namespace

TReadmeDialog::TReadmeDialog(QObject* owner) : QObject(owner) {
    TitleCaption = QApplication::applicationDisplayName();
    // The title takes the face of the desktop's window-title font.
    QString captionFace = QFontDatabase::systemFont(QFontDatabase::TitleFont).family();
    titleFont_.SetName(QStringToSjis(captionFace).value_or(std::string()));
    titleFont_.SetColor(clActiveCaption);
    titleFont_.SetSize(18);
    titleFont_.SetStyle(fsBold | fsItalic);
    CopyrightCaption = QStringLiteral("Copyright (C) the author");
    copyrightFont_.SetColor(clInfoText);
    copyrightFont_.SetStyle(fsBold);
    QIcon icon = QApplication::windowIcon();
    if (!icon.isNull()) picture_ = icon.pixmap(32, 32);
}

TReadmeDialog::~TReadmeDialog() = default;

std::unique_ptr<TfmReadme> TReadmeDialog::CreateForm() const {
    auto form = std::make_unique<TfmReadme>();
    form->BtnOK->setText(BtnOKCaption);
    form->setWindowTitle(DialogCaption);
    form->cbShowOnStart->setChecked(ShowOnStart);
    form->cbShowOnStart->setText(ShowOnStartCaption);
    form->cbShowOnStart->setVisible(ShowOnStartVisible);
    form->Copyright->setText(CopyrightCaption);
    ApplyFont(form->Copyright, copyrightFont_);
    form->ImgReadme->setPixmap(picture_);
    Paint(form->pnlRead, MemoColor);
    Paint(form->pnlMemo, MemoColor);
    Paint(form->MemoReadme, MemoColor);
    ApplyFont(form->MemoReadme, memoFont_);

    QString text;
    QFile file(TextFile);
    if (!TextFile.isEmpty() && file.open(QIODevice::ReadOnly))
        text = SjisToQString(file.readAll().toStdString());
    else
        text = lines_.join(QLatin1Char('\n'));
    form->MemoReadme->setPlainText(text);
    int marker = InsBehindString.isEmpty() ? -1 : text.indexOf(InsBehindString);
    if (marker >= 0) {
        QTextCursor c = form->MemoReadme->textCursor();
        c.setPosition(marker + static_cast<int>(InsBehindString.size()));
        c.insertText(InsString);
        // The first occurrence is selected, so that the address can be copied at once.
        int at = form->MemoReadme->toPlainText().indexOf(InsString);
        if (at >= 0 && !InsString.isEmpty()) {
            c.setPosition(at);
            c.setPosition(at + static_cast<int>(InsString.size()), QTextCursor::KeepAnchor);
        }
        form->MemoReadme->setTextCursor(c);
    }
    form->MemoReadme->setFocus();
    form->Title->setText(TitleCaption);
    ApplyFont(form->Title, titleFont_);
    form->ArrangeReadPanel();
    return form;
}

bool TReadmeDialog::ShowDialog() {
    std::unique_ptr<TfmReadme> form = CreateForm();
    form->exec();
    ShowOnStart = form->cbShowOnStart->isChecked();
    return ShowOnStart;
}
