#include "window/same_day_dialog.h"

#include "calendar/cal_ex_paint.h"
#include "diary/char_count.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

QString DateWithWeekday(const TYMD& d) {
    const int weekday = JuliusDayOfWeek(YMDToJulius(d.Year, d.Month, d.Day)) - 1;  // 0 = Sunday
    return QStringLiteral("%1/%2/%3(%4)").arg(d.Year).arg(d.Month).arg(d.Day).arg(ShortDayName(weekday));
}

}  // namespace

TSameDayDialog::TSameDayDialog(QWidget* parent, const TYMD& selected, const std::vector<TSameDayRow>& rows)
    : QDialog(parent), rows_(rows) {
    setWindowTitle(U("過去の同じ日 %1月%2日").arg(selected.Month).arg(selected.Day));
    QVBoxLayout* column = new QVBoxLayout(this);
    List = new QTreeWidget(this);
    List->setRootIsDecorated(false);
    List->setUniformRowHeights(true);
    List->setHeaderLabels({U("日付"), U("文字数"), U("最初の行")});
    List->header()->setStretchLastSection(true);
    for (const TSameDayRow& row : rows_) {
        auto* item = new QTreeWidgetItem(
            List, {DateWithWeekday(row.day), row.chars < 0 ? QStringLiteral("-") : QString::fromStdString(GroupedCount(row.chars)),
                   row.firstLine});
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int c = 0; c < 2; ++c) List->resizeColumnToContents(c);
    column->addWidget(List);
    if (rows_.empty()) {
        List->hide();
        column->addWidget(new QLabel(U("ほかの年の %1月%2日 の日記はありません。").arg(selected.Month).arg(selected.Day), this));
    } else {
        List->setCurrentItem(List->topLevelItem(0));
    }
    QDialogButtonBox* buttons = new QDialogButtonBox(this);
    if (!rows_.empty()) {
        QPushButton* go = buttons->addButton(U("この日へ移動(&G)"), QDialogButtonBox::AcceptRole);
        go->setDefault(true);
    }
    buttons->addButton(U("閉じる(&C)"), QDialogButtonBox::RejectRole);
    column->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Choose(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(List, &QTreeWidget::itemActivated, this, [this] { Choose(); });
    resize(560, 320);
}

void TSameDayDialog::Choose() {
    const int at = List->indexOfTopLevelItem(List->currentItem());
    if (at < 0 || at >= static_cast<int>(rows_.size())) return;
    chosen_ = rows_[static_cast<size_t>(at)].day;
    accept();
}
