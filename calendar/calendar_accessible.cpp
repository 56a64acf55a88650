#include "calendar/calendar_accessible.h"

#include "calendar/day_speech.h"
#include "calendar/grid_layout.h"
#include "calendar/monthly_calendar.h"
#include "calendar/old_calendar.h"
#include "calendar/weekly_calendar.h"
#include "platform/accessible_events.h"
#include "platform/accessible_part.h"
#include "platform/clock.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include <map>

namespace {

class TCalendarAccessible;

// One day cell; lives as long as the calendar's interface, which owns it through Qt's cache.
class TDayCellAccessible : public TAccessiblePart, public QAccessibleTableCellInterface {
public:
    TDayCellAccessible(TCalendarAccessible* table, int row, int column);

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
    }
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override;

    // QAccessibleTableCellInterface
    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override;

private:
    TCalendarAccessible* table_;
    int row_;
    int column_;
};

class TCalendarAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit TCalendarAccessible(TCustomCalendarEx* calendar)
        : QAccessibleWidget(calendar, QAccessible::Table), month_(dynamic_cast<TMonthlyCalendar*>(calendar)) {
        ++CalendarAccess::interfaces;
    }
    ~TCalendarAccessible() override {
        for (const auto& [at, id] : cells_) QAccessible::deleteAccessibleInterface(id);
        --CalendarAccess::interfaces;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.focusable = true;
        return s;
    }

    // The cells are the children, row by row.
    int childCount() const override { return rowCount() * columnCount(); }
    QAccessibleInterface* child(int index) const override {
        const int columns = columnCount();
        return index < 0 || index >= childCount() ? nullptr : cellAt(index / columns, index % columns);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child || child->role() != QAccessible::Cell || child->parent() != this) return -1;
        auto* cell = static_cast<const TDayCellAccessible*>(child);
        return cell->rowIndex() * columnCount() + cell->columnIndex();
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i)
            if (child(i)->rect().contains(x, y)) return child(i);
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        if (!Calendar()->hasFocus()) return nullptr;
        const auto [row, column] = SelectedCell();
        return row < 0 ? nullptr : cellAt(row, column);
    }

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount()) return nullptr;
        auto it = cells_.find({row, column});
        if (it == cells_.end()) {
            auto* cell = new TDayCellAccessible(const_cast<TCalendarAccessible*>(this), row, column);
            it = cells_.emplace(std::make_pair(row, column), QAccessible::registerAccessibleInterface(cell)).first;
        }
        return QAccessible::accessibleInterface(it->second);
    }
    int columnCount() const override { return month_ ? 7 : 1; }
    int rowCount() const override { return month_ ? month_->GetRowCount() - 1 : 7; }
    QString columnDescription(int column) const override {
        static const char* const names[] = {"日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日"};
        return month_ ? QString::fromUtf8(names[ColumnWeekday(month_->FirstDayOfWeek(), column)]) : QString();
    }
    QString rowDescription(int) const override { return QString(); }
    int selectedCellCount() const override { return SelectedCell().first < 0 ? 0 : 1; }
    QList<QAccessibleInterface*> selectedCells() const override {
        const auto [row, column] = SelectedCell();
        if (row < 0) return {};
        return {cellAt(row, column)};
    }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int row) override { return month_ ? false : Select(row, 0); }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

    // --- For the cells ---------------------------------------------------------------------------
    TCustomCalendarEx* Calendar() const { return static_cast<TCustomCalendarEx*>(widget()); }
    TJuliusDay DayAt(int row, int column) const {
        return month_ ? MonthCellDay(month_->GetFirstDay(), row + 1, column)
                      : static_cast<TWeeklyCalendar*>(Calendar())->GetFirstDay() + row;
    }
    bool Shown(int row, int column) const {
        return !month_ || month_->ShowNeighbor() || JuliusToYMD(DayAt(row, column)).Month == month_->Month();
    }
    QRect CellRect(int row, int column) const {
        TCustomCalendarEx* c = Calendar();
        const TCellRect r = month_ ? GridCellRect(column, row + 1, 7, month_->GetRowCount(), c->ClientWidth(),
                                                  c->ClientHeight())
                                   : GridCellRect(0, row, 1, 7, c->ClientWidth(), c->ClientHeight());
        const QPoint topLeft = c->mapToGlobal(c->contentsRect().topLeft() + QPoint(r.Left, r.Top));
        return QRect(topLeft, QSize(r.Right - r.Left, r.Bottom - r.Top));
    }
    QString Spoken(int row, int column) const {
        TCustomCalendarEx* c = Calendar();
        const TJuliusDay day = DayAt(row, column);
        const TYMD date = JuliusToYMD(day);
        TDaySpeech speech;
        speech.month = date.Month;
        speech.day = date.Day;
        speech.weekday = JuliusDayOfWeek(day) - 1;
        // A rule line that cannot be read costs the day its names, not the reader its calendar.
        try {
            speech.attrs = c->GetDayAttrs(date.Year, date.Month, date.Day);
            speech.namesCommaText = c->GetHolidayNames(date.Year, date.Month, date.Day);
        } catch (const std::exception&) {
        }
        if (month_ && month_->ShowRokuyo()) {
            const int rokuyo = RokuyoOf(day);
            if (rokuyo > 0) speech.rokuyo = RokuyoNames(rokuyo);
        }
        speech.marked = c->ShowMarks() && c->OnHasEntry && c->HasEntry(date.Year, date.Month, date.Day);
        speech.today = day == DateTimeToJulius(CurrentDate());
        return QString::fromStdString(DaySpoken(speech));
    }
    std::pair<int, int> SelectedCell() const {
        const TJuliusDay selected = Calendar()->JuliusDay();
        for (int row = 0; row < rowCount(); ++row)
            for (int column = 0; column < columnCount(); ++column)
                if (DayAt(row, column) == selected) return {row, column};
        return {-1, -1};
    }
    bool Select(int row, int column) {
        if (row < 0 || row >= rowCount() || !Shown(row, column)) return false;
        Calendar()->SetJuliusDay(DayAt(row, column));
        return true;
    }

    // The selected day moved: the reader hears the new cell, focused when the calendar is.
    void DayChanged() {
        const auto [row, column] = SelectedCell();
        if (row < 0) return;
        QAccessibleInterface* cell = cellAt(row, column);
        QAccessibleEvent selection(cell, QAccessible::Selection);
        SendAccessibleEvent(&selection);
        if (Calendar()->hasFocus()) {
            QAccessibleEvent focus(cell, QAccessible::Focus);
            SendAccessibleEvent(&focus);
        }
    }

private:
    TMonthlyCalendar* month_;
    mutable std::map<std::pair<int, int>, QAccessible::Id> cells_;
};

TDayCellAccessible::TDayCellAccessible(TCalendarAccessible* table, int row, int column)
    : TAccessiblePart(table), table_(table), row_(row), column_(column) {}
QAccessibleInterface* TDayCellAccessible::table() const { return table_; }
QRect TDayCellAccessible::rect() const { return table_->CellRect(row_, column_); }
bool TDayCellAccessible::isSelected() const { return table_->Calendar()->JuliusDay() == table_->DayAt(row_, column_); }

QString TDayCellAccessible::text(QAccessible::Text t) const {
    if (t != QAccessible::Name || row_ >= table_->rowCount()) return QString();
    return table_->Spoken(row_, column_);
}

QAccessible::State TDayCellAccessible::state() const {
    QAccessible::State s;
    s.selectable = true;
    s.focusable = true;
    const bool shown = row_ < table_->rowCount() && table_->Shown(row_, column_);
    s.invisible = !shown;
    s.selected = shown && isSelected();
    s.focused = s.selected && table_->Calendar()->hasFocus();
    return s;
}

TCalendarAccessible* Heard(TCustomCalendarEx* calendar) {
    return dynamic_cast<TCalendarAccessible*>(QAccessible::queryAccessibleInterface(calendar));
}

}  // namespace

QAccessibleInterface* CalendarAccessibleFactory(const QString&, QObject* object) {
    if (auto* calendar = dynamic_cast<TCustomCalendarEx*>(object)) {
        if (dynamic_cast<TMonthlyCalendar*>(calendar) || dynamic_cast<TWeeklyCalendar*>(calendar))
            return new TCalendarAccessible(calendar);
    }
    return nullptr;
}

void CalendarAccess::DayChangedHeard(TCustomCalendarEx* calendar) {
    if (auto* a = Heard(calendar)) a->DayChanged();
}
