#include "window/conflict_window.h"

#include "diary/text_diff.h"
#include "platform/qt_text.h"

#include <QBoxLayout>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

namespace {

std::vector<std::u32string> SplitLines(const QString& text) {
    std::vector<std::u32string> lines;
    if (text.isEmpty()) return lines;
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    for (const QString& line : t.split(QLatin1Char('\n'))) {
        const QList<uint> ucs4 = line.toUcs4();
        lines.emplace_back(ucs4.begin(), ucs4.end());
    }
    // A final line break ends the last line; it opens no empty one.
    if (t.endsWith(QLatin1Char('\n'))) lines.pop_back();
    return lines;
}

QString FromUcs4(const std::u32string& s) { return QString::fromUcs4(s.data(), static_cast<qsizetype>(s.size())); }

// One side's rows: its line (or an empty filler where only the other side has one) with
// the row's highlight.
void AddRow(QTextCursor& cursor, bool first, const std::u32string* line, TDiffKind kind,
            const std::vector<TCharSpan>& spans) {
    if (!first) cursor.insertBlock();
    QTextBlockFormat block;
    if (!line || kind == TDiffKind::LeftOnly || kind == TDiffKind::RightOnly)
        block.setBackground(line ? TConflictWindow::AloneColor() : QColor(236, 236, 236));
    else if (kind == TDiffKind::Changed)
        block.setBackground(TConflictWindow::ChangedLineColor());
    cursor.setBlockFormat(block);
    if (!line) return;
    QTextCharFormat plain, marked;
    marked.setBackground(TConflictWindow::ChangedCharsColor());
    int at = 0;
    for (const TCharSpan& span : spans) {
        cursor.insertText(FromUcs4(line->substr(at, span.first - at)), plain);
        cursor.insertText(FromUcs4(line->substr(span.first, span.length)), marked);
        at = span.first + span.length;
    }
    cursor.insertText(FromUcs4(line->substr(at)), plain);
}

QTextEdit* MakeSide(QWidget* parent) {
    auto* edit = new QTextEdit(parent);
    edit->setReadOnly(true);
    edit->setLineWrapMode(QTextEdit::NoWrap);
    edit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return edit;
}

}  // namespace

QColor TConflictWindow::AloneColor() { return QColor(255, 214, 214); }
QColor TConflictWindow::ChangedLineColor() { return QColor(255, 246, 196); }
QColor TConflictWindow::ChangedCharsColor() { return QColor(255, 170, 60); }

TConflictWindow::TConflictWindow(QWidget* parent, const QString& dayCaption, const QString& mine, const QString& other,
                                 const QString& otherCaption)
    : QDialog(parent) {
    setWindowTitle(U8("別の版と比べる - %1").arg(dayCaption));
    Mine = MakeSide(this);
    Other = MakeSide(this);
    const std::vector<std::u32string> left = SplitLines(mine), right = SplitLines(other);
    QTextCursor l(Mine->document()), r(Other->document());
    bool first = true;
    for (const TDiffRow& row : DiffLines(left, right)) {
        AddRow(l, first, row.left >= 0 ? &left[row.left] : nullptr, row.kind, row.leftSpans);
        AddRow(r, first, row.right >= 0 ? &right[row.right] : nullptr, row.kind, row.rightSpans);
        first = false;
    }
    // The rows are aligned: the two sides scroll as one.
    for (auto [a, b] : {std::pair{Mine, Other}, std::pair{Other, Mine}})
        connect(a->verticalScrollBar(), &QScrollBar::valueChanged, b->verticalScrollBar(), &QScrollBar::setValue);

    auto* sides = new QHBoxLayout;
    for (auto [edit, caption] : {std::pair{Mine, U8("この端末の版（いまエディタにある内容）")}, std::pair{Other, otherCaption}}) {
        auto* column = new QVBoxLayout;
        auto* label = new QLabel(caption, this);
        label->setBuddy(edit);
        column->addWidget(label);
        column->addWidget(edit, 1);
        sides->addLayout(column, 1);
    }
    KeepMine = new QPushButton(U8("この端末の版を残す(&M)"), this);
    KeepOther = new QPushButton(U8("もう一方の版を残す(&O)"), this);
    KeepBoth = new QPushButton(U8("両方を残す(&B)"), this);
    Later = new QPushButton(U8("後で決める(&L)"), this);
    KeepBoth->setToolTip(U8("この端末の版のあとに区切りの行を置き、もう一方の版をそのまま続けます"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const std::pair<QPushButton*, TConflictChoice> choices[] = {{KeepMine, TConflictChoice::KeepMine},
                                                               {KeepOther, TConflictChoice::KeepOther},
                                                               {KeepBoth, TConflictChoice::KeepBoth},
                                                               {Later, TConflictChoice::Later}};
    for (auto [button, choice] : choices) {
        buttons->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, choice = choice] {
            choice_ = choice;
            if (choice == TConflictChoice::Later)
                reject();
            else
                accept();
        });
    }
    Later->setDefault(true);
    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(U8("色の付いた行が 2 つの版で違います。濃い色は行の中で違う文字です。"
                                    "どちらを残しても、もう一方の版はフォルダー .Mekuri-conflicts に移して残します。"),
                                 this));
    column->addLayout(sides, 1);
    column->addLayout(buttons);
    resize(860, 480);
}
