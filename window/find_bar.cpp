#include "window/find_bar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

QToolButton* Button(QWidget* parent, const char* caption, const char* tip) {
    auto* b = new QToolButton(parent);
    b->setText(U(caption));
    b->setToolTip(U(tip));
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

}  // namespace

TFindBar::TFindBar(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(4);
    auto* label = new QLabel(U("検索:"), this);
    FindEdit = new QLineEdit(this);
    FindEdit->setPlaceholderText(U("語を空白で区切ると、すべてを含む行を順に探します"));
    label->setBuddy(FindEdit);
    NextButton = Button(this, "次へ", "次を検索 (F3)");
    PreviousButton = Button(this, "前へ", "前を検索 (Shift+F3)");
    ExactCheck = new QCheckBox(U("完全一致(&X)"), this);
    ExactCheck->setToolTip(U("全角/半角、大文字/小文字、ひらがな/カタカナを区別します"));
    ExactCheck->setFocusPolicy(Qt::NoFocus);
    CloseButton = Button(this, "×", "検索バーを閉じる (Esc)");
    row->addWidget(label);
    row->addWidget(FindEdit, 1);
    row->addWidget(NextButton);
    row->addWidget(PreviousButton);
    row->addWidget(ExactCheck);
    row->addWidget(CloseButton);
    FindEdit->installEventFilter(this);
    connect(NextButton, &QToolButton::clicked, this, [this] {
        if (OnFind) OnFind(false);
    });
    connect(PreviousButton, &QToolButton::clicked, this, [this] {
        if (OnFind) OnFind(true);
    });
    connect(CloseButton, &QToolButton::clicked, this, [this] {
        hide();
        if (OnClose) OnClose();
    });
    hide();
}

QString TFindBar::Text() const { return FindEdit->text(); }

bool TFindBar::Exact() const { return ExactCheck->isChecked(); }

void TFindBar::Open() {
    show();
    FindEdit->setFocus(Qt::ShortcutFocusReason);
    FindEdit->selectAll();
}

bool TFindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FindEdit && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            hide();
            if (OnClose) OnClose();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (OnFind) OnFind((key->modifiers() & Qt::ShiftModifier) != 0);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
