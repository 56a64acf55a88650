#include "window/form4.h"

#include "platform/font.h"
#include "platform/qt_fonts.h"
#include "platform/handler_guard.h"
#include "platform/qt_text.h"
#include "platform/string_list.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

TForm4::TForm4(QWidget* owner, const char* caption, TStringList& editList) : QDialog(owner), editList_(editList) {
    setWindowTitle(U8(caption));
    setFont(ToQFont(TFont()));  // "ＭＳ Ｐゴシック", 12 pixels

    ListBox1 = new QListWidget(this);
    ListBox1->setGeometry(8, 16, 209, 201);
    ListBox1->setUniformItemSizes(true);
    ListBox1->installEventFilter(this);

    struct ButtonDef {
        QPushButton** button;
        const char* caption;
        void (TForm4::*click)();
    };
    // In tab order; the list box follows them.
    const ButtonDef buttons[] = {{&Button1, "削除(&D)", &TForm4::Button1Click},
                          {&Button3, "全削除(&A)", &TForm4::Button3Click},
                          {&Button2, "キャンセル(&C)", &TForm4::Button2Click},
                          {&Button4, "閉じる(&X)", &TForm4::Button4Click}};
    int width = 75;
    for (const ButtonDef& s : buttons) {
        QPushButton* b = new QPushButton(U8(s.caption), this);
        b->setAutoDefault(false);
        b->installEventFilter(this);
        connect(b, &QPushButton::clicked, this, Guarded([this, click = s.click] { (this->*click)(); }));
        width = std::max(width, b->sizeHint().width());
        *s.button = b;
    }
    // The buttons grow, and the window with them, where a caption needs more room than
    // the intended 75 pixels.
    int y = 72;
    for (const ButtonDef& s : buttons) {
        (*s.button)->setGeometry(232, y, width, 25);
        y += 32;
    }
    setTabOrder(Button1, Button3);
    setTabOrder(Button3, Button2);
    setTabOrder(Button2, Button4);
    setTabOrder(Button4, ListBox1);
    setFixedSize(232 + width + 15, 236);
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());

    Fill();
}

void TForm4::Fill() {
    lines_ = editList_.Lines();
    // Byte order of the stored text: the same order on every machine, whatever its locale.
    std::stable_sort(lines_.begin(), lines_.end());
    ListBox1->clear();
    for (const std::string& line : lines_) ListBox1->addItem(SjisToQString(line));
    if (!lines_.empty()) ListBox1->setCurrentRow(0);
}

void TForm4::Button1Click() {
    const int row = ListBox1->currentRow();
    if (row < 0 || !ListBox1->item(row)->isSelected()) return;
    delete ListBox1->takeItem(row);
    lines_.erase(lines_.begin() + row);
    // Nothing stays selected, so a second press deletes nothing by accident.
    ListBox1->setCurrentRow(-1);
    ListBox1->clearSelection();
}

void TForm4::Button3Click() {
    ListBox1->clear();
    lines_.clear();
}

void TForm4::Button2Click() { Fill(); }

void TForm4::Button4Click() { close(); }

void TForm4::done(int result) {
    // A box emptied by mistake (全削除 is one press away) must not wipe the calendar's list.
    if (!lines_.empty()) {
        TStringList lines;
        for (const std::string& line : lines_) lines.Add(line);
        editList_.Assign(lines);
    }
    QDialog::done(result);
}

bool TForm4::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
