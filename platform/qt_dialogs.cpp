#include "platform/qt_dialogs.h"

#include "platform/font_choice_dialog.h"
#include "platform/qt_colors.h"

#include <QApplication>
#include <QColorDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include <algorithm>

namespace {

QWidget* Parent() { return QApplication::activeWindow(); }

QString Caption() { return QApplication::applicationDisplayName(); }

}  // namespace

bool TQtDialogs::Confirm(const std::string& message) {
    QMessageBox box(QMessageBox::Question, Caption(), QString::fromStdString(message), QMessageBox::NoButton, Parent());
    QPushButton* yes = box.addButton(QString::fromUtf8("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QString::fromUtf8("いいえ(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

TAnswer TQtDialogs::YesNoCancel(const std::string& message) {
    QMessageBox box(QMessageBox::Question, Caption(), QString::fromStdString(message), QMessageBox::NoButton, Parent());
    QPushButton* yes = box.addButton(QString::fromUtf8("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QString::fromUtf8("いいえ(&N)"), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(QString::fromUtf8("キャンセル"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    // The close button of the box's frame counts as its escape button.
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes) return TAnswer::Yes;
    if (box.clickedButton() == no) return TAnswer::No;
    return TAnswer::Cancel;
}

void TQtDialogs::Error(const std::string& message) {
    QMessageBox box(QMessageBox::Critical, Caption(), QString::fromStdString(message), QMessageBox::Ok, Parent());
    box.exec();
}

void TQtDialogs::Warning(const std::string& message) {
    QMessageBox box(QMessageBox::Warning, Caption(), QString::fromStdString(message), QMessageBox::Ok, Parent());
    box.exec();
}

void TQtDialogs::Beep() { QApplication::beep(); }

std::optional<TColor> TQtDialogs::ChooseColor(TColor initial) {
    QColor c = QColorDialog::getColor(ToQColor(initial), Parent());
    if (!c.isValid()) return std::nullopt;
    return FromQColor(c);
}

bool TQtDialogs::ChooseFont(TFont& font, const TFontDialogOptions& options) {
    TFontChoiceDialog dialog(font, options, Parent());
    if (dialog.exec() != QDialog::Accepted) return false;
    font.Assign(dialog.Font());
    return true;
}

bool TQtDialogs::PrinterSetup(QPrinter& printer) {
    QPrintDialog dialog(&printer, Parent());
    return dialog.exec() == QDialog::Accepted;
}

int TQtDialogs::Choose(const std::string& message, const std::vector<std::string>& buttons) {
    QMessageBox box(QMessageBox::Question, Caption(), QString::fromStdString(message), QMessageBox::NoButton, Parent());
    std::vector<QPushButton*> pushed;
    for (const std::string& caption : buttons)
        pushed.push_back(box.addButton(QString::fromStdString(caption), QMessageBox::ActionRole));
    if (pushed.empty()) return -1;
    box.setDefaultButton(pushed.front());
    box.setEscapeButton(pushed.back());
    box.exec();
    const auto it = std::find(pushed.begin(), pushed.end(), box.clickedButton());
    return it == pushed.end() ? static_cast<int>(pushed.size()) - 1 : static_cast<int>(it - pushed.begin());
}
