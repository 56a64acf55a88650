#include "window/search_window.h"

#include "calendar/iso_date.h"
#include "window/typing_watch.h"
#include "platform/handler_guard.h"
#include "platform/sjis.h"
#include "platform/unicode_text.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }
// A result's text, its codes those of the day it came from.
QString FromDayText(std::string_view s, const TDaySearchResult& r) {
    static const TExtraChars none;
    return QString::fromStdString(UnicodeFromText(s, r.extra ? *r.extra : none));
}

constexpr int kMatchStartRole = Qt::UserRole + 1;
constexpr int kMatchLengthRole = Qt::UserRole + 2;
constexpr int kDayRole = Qt::UserRole + 3;
constexpr size_t kExcerptChars = 80;

// Draws a row's line with its match in bold on a highlight.
class TMatchDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QVariant start = index.data(kMatchStartRole);
        if (!start.isValid()) {
            QStyledItemDelegate::paint(p, option, index);
            return;
        }
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        opt.widget->style()->drawControl(QStyle::CE_ItemViewItem, &opt, p, opt.widget);
        const int s = std::clamp(start.toInt(), 0, static_cast<int>(text.size()));
        const int n = std::clamp(index.data(kMatchLengthRole).toInt(), 0, static_cast<int>(text.size()) - s);
        const QRect r = opt.rect.adjusted(4, 0, -4, 0);
        const bool selected = opt.state & QStyle::State_Selected;
        p->save();
        p->setClipRect(r);
        p->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        QFont plain = opt.font, bold = opt.font;
        bold.setBold(true);
        int x = r.left();
        const auto part = [&](const QString& t, bool match) {
            p->setFont(match ? bold : plain);
            const QFontMetrics fm(p->font());
            const int w = fm.horizontalAdvance(t);
            if (match) {
                p->fillRect(QRect(x, r.top() + 1, w, r.height() - 2), QColor(255, 230, 120));
                p->setPen(Qt::black);
            }
            p->drawText(QRect(x, r.top(), w + 1, r.height()), Qt::AlignVCenter | Qt::AlignLeft, t);
            if (match) p->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
            x += w;
        };
        part(text.left(s), false);
        part(text.mid(s, n), true);
        part(text.mid(s + n), false);
        p->restore();
    }
};

std::optional<TYMD> PeriodDay(const QString& text, bool* bad) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    QString normal = t;
    normal.replace('/', '-');
    auto day = ParseIsoDate(normal.toStdString());
    if (!day) *bad = true;
    return day;
}

QString DayCaption(const TYMD& d) {
    static const char* const kWeekdays[] = {"日", "月", "火", "水", "木", "金", "土"};
    const int dow = JuliusDayOfWeek(YMDToJulius(d.Year, d.Month, d.Day));
    return QString::asprintf("%04d/%02d/%02d", static_cast<int>(d.Year), d.Month, d.Day) + " (" + U(kWeekdays[(dow + 6) % 7]) + ")";
}

}  // namespace

TSearchWindow::TSearchWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(U("日記全体から検索"));
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    WordsEdit = new QLineEdit(this);
    WordsEdit->setPlaceholderText(U("空白で区切った語をすべて含む日を探します"));
    ExactCheck = new QCheckBox(U("完全一致(&X)"), this);
    ExactCheck->setToolTip(U("全角/半角、大文字/小文字、ひらがな/カタカナを区別します"));
    auto* wordsRow = new QHBoxLayout;
    wordsRow->addWidget(WordsEdit, 1);
    wordsRow->addWidget(ExactCheck);
    // A label tied to its field shows its mnemonic underlined and Alt+key moves there; a
    // label given as a plain string to the form would show the "&" itself.
    auto* wordsLabel = new QLabel(U("検索する語(&W):"), this);
    wordsLabel->setBuddy(WordsEdit);
    form->addRow(wordsLabel, wordsRow);
    FromEdit = new QLineEdit(this);
    ToEdit = new QLineEdit(this);
    for (QLineEdit* e : {FromEdit, ToEdit}) {
        e->setPlaceholderText(U("YYYY-MM-DD"));
        e->setMaximumWidth(120);
    }
    auto* periodRow = new QHBoxLayout;
    periodRow->addWidget(FromEdit);
    periodRow->addWidget(new QLabel(U("から"), this));
    periodRow->addWidget(ToEdit);
    periodRow->addWidget(new QLabel(U("まで（空欄は制限なし）"), this));
    periodRow->addStretch(1);
    auto* periodLabel = new QLabel(U("期間(&P):"), this);
    periodLabel->setBuddy(FromEdit);
    form->addRow(periodLabel, periodRow);
    column->addLayout(form);

    auto* buttons = new QHBoxLayout;
    SearchButton = new QPushButton(U("検索(&S)"), this);
    SearchButton->setDefault(true);
    StopButton = new QPushButton(U("中止(&T)"), this);
    StopButton->setEnabled(false);
    Progress = new QProgressBar(this);
    // Empty and without figures until a search has counted the days.
    Progress->setTextVisible(false);
    Progress->setFormat(U("%v / %m 日"));
    Progress->setRange(0, 1);
    Progress->setValue(0);
    buttons->addWidget(SearchButton);
    buttons->addWidget(StopButton);
    buttons->addWidget(Progress, 1);
    column->addLayout(buttons);

    model_ = new QStandardItemModel(0, 3, this);
    model_->setHorizontalHeaderLabels({U("日付"), U("行数"), U("最初に見つかった行")});
    Results = new QTreeView(this);
    Results->setModel(model_);
    Results->setRootIsDecorated(false);
    Results->setUniformRowHeights(true);
    Results->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Results->setSelectionBehavior(QAbstractItemView::SelectRows);
    Results->setItemDelegateForColumn(2, new TMatchDelegate(Results));
    Results->header()->setStretchLastSection(true);
    Results->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    Results->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    Results->installEventFilter(this);
    WordsEdit->installEventFilter(this);
    column->addWidget(Results, 1);
    StatusLabel = new QLabel(this);
    column->addWidget(StatusLabel);

    typing_ = new TTypingWatch(this);
    drain_ = new QTimer(this);
    drain_->setInterval(50);
    connect(drain_, &QTimer::timeout, this, Guarded([this] { Drain(); }));
    connect(SearchButton, &QPushButton::clicked, this, Guarded([this] { Run(); }));
    connect(WordsEdit, &QLineEdit::returnPressed, this, Guarded([this] { Run(); }));
    connect(StopButton, &QPushButton::clicked, this, Guarded([this] { Stop(); }));
    connect(Results, &QTreeView::activated, this, Guarded([this](const QModelIndex& i) { OpenRow(i.row()); }));
    resize(640, 420);
}

TSearchWindow::~TSearchWindow() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
}

void TSearchWindow::Stop() {
    if (!worker_.joinable()) return;
    // A search that just ran to its end is reported as found, not as called off.
    if (!finished_) stop_ = true;
    Finish();
}

void TSearchWindow::Run() {
    Stop();
    model_->removeRows(0, model_->rowCount());
    pending_.clear();
    unreadable_ = 0;
    bool bad = false;
    TDiarySearchOptions options;
    options.folder = Folder;
    options.from = PeriodDay(FromEdit->text(), &bad);
    options.to = PeriodDay(ToEdit->text(), &bad);
    if (bad) {
        StatusLabel->setText(U("期間の日付が正しくありません（YYYY-MM-DD）"));
        return;
    }
    words_ = WordsEdit->text();
    exact_ = ExactCheck->isChecked();
    query_ = MakeSearchQuery(words_.toStdString(), exact_);
    if (query_.words.empty()) {
        StatusLabel->setText(U("検索する語を入力してください"));
        return;
    }
    options.newestFirst = true;
    options.countLines = true;
    options.idlePriority = true;
    options.lastInput = &typing_->LastInput();
    progress_ = {};
    Progress->setRange(0, 1);
    Progress->setValue(0);
    Progress->setTextVisible(true);
    StatusLabel->setText(U("検索しています…"));
    SearchButton->setEnabled(false);
    StopButton->setEnabled(true);
    stop_ = false;
    finished_ = false;
    worker_ = std::thread([this, options] {
        SearchDiary(
            query_, options,
            [this](const TDaySearchResult& r) {
                std::lock_guard lock(mutex_);
                pending_.push_back(r);
            },
            [this](const TDiarySearchProgress& p) {
                std::lock_guard lock(mutex_);
                progress_ = p;
            },
            &stop_);
        finished_ = true;
    });
    drain_->start();
}

void TSearchWindow::AddRow(const TDaySearchResult& r) {
    if (r.error) {
        ++unreadable_;
        return;
    }
    auto* date = new QStandardItem(DayCaption(r.day));
    date->setData(QVariant::fromValue(QList<int>{r.day.Year, r.day.Month, r.day.Day}), kDayRole);
    auto* lines = new QStandardItem(QString::number(r.match.lines));
    lines->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const TExcerpt cut = Excerpt(r.line, r.match.match, kExcerptChars);
    const QString before = FromDayText(std::string_view(cut.text).substr(0, cut.match.start), r);
    const QString match = FromDayText(std::string_view(cut.text).substr(cut.match.start, cut.match.length), r);
    auto* line = new QStandardItem(FromDayText(cut.text, r));
    line->setData(static_cast<int>(before.size()), kMatchStartRole);
    line->setData(static_cast<int>(match.size()), kMatchLengthRole);
    model_->appendRow({date, lines, line});
}

void TSearchWindow::Drain() {
    std::deque<TDaySearchResult> taken;
    TDiarySearchProgress p;
    {
        std::lock_guard lock(mutex_);
        taken.swap(pending_);
        p = progress_;
    }
    for (const TDaySearchResult& r : taken) AddRow(r);
    if (p.total > 0) {
        Progress->setRange(0, static_cast<int>(p.total));
        Progress->setValue(static_cast<int>(p.done));
    }
    if (finished_ && worker_.joinable()) Finish();
}

void TSearchWindow::Finish() {
    // The worker looks at the stop flag between days, so this wait is short.
    worker_.join();
    drain_->stop();
    TDiarySearchProgress p;
    {
        std::lock_guard lock(mutex_);
        for (const TDaySearchResult& r : pending_) AddRow(r);
        pending_.clear();
        p = progress_;
    }
    if (p.total == 0) {
        Progress->setRange(0, 1);
        Progress->setValue(stop_ ? 0 : 1);
    } else {
        Progress->setRange(0, static_cast<int>(p.total));
        Progress->setValue(static_cast<int>(p.done));
    }
    SearchButton->setEnabled(true);
    StopButton->setEnabled(false);
    QString text;
    if (stop_ && p.total > 0)
        text = U("中止しました（%1 日のうち %2 日を調べました）: ").arg(p.total).arg(p.done);
    else if (stop_)
        text = U("中止しました: ");
    text += model_->rowCount() ? QString::number(model_->rowCount()) + U(" 日見つかりました") : U("見つかりませんでした");
    if (unreadable_) text += U("（読めないファイルが ") + QString::number(unreadable_) + U(" 個あります）");
    StatusLabel->setText(text);
    if (model_->rowCount() && !Results->currentIndex().isValid())
        Results->selectionModel()->setCurrentIndex(model_->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int TSearchWindow::RowCount() const { return model_->rowCount(); }

TYMD TSearchWindow::DayOfRow(int row) const {
    const QList<int> d = model_->index(row, 0).data(kDayRole).value<QList<int>>();
    return TYMD{d.value(0), static_cast<std::uint8_t>(d.value(1)), static_cast<std::uint8_t>(d.value(2))};
}

void TSearchWindow::OpenRow(int row) {
    if (row < 0 || row >= model_->rowCount() || !OnOpenDay) return;
    OnOpenDay(DayOfRow(row), words_, exact_);
}

bool TSearchWindow::eventFilter(QObject* watched, QEvent* event) {
    // Down from the words goes to the list, so that words, Enter, Down and Enter lead to
    // a day without the mouse.
    if (watched == WordsEdit && event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down &&
        model_->rowCount() > 0) {
        Results->setFocus(Qt::TabFocusReason);
        if (!Results->currentIndex().isValid()) Results->setCurrentIndex(model_->index(0, 0));
        return true;
    }
    if (watched == Results && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OpenRow(Results->currentIndex().row());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TSearchWindow::closeEvent(QCloseEvent* event) {
    Stop();
    QWidget::closeEvent(event);
}
