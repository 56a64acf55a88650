#include "calendar/monthly_calendar.h"

#include "calendar/cal_ex_paint.h"
#include "calendar/old_calendar.h"
#include "platform/qt_colors.h"
#include "platform/qt_contrast.h"
#include "platform/qt_text.h"

#include <QPainter>

#include <array>
#include <cstdlib>

namespace {

// The names are fixed; each is converted once rather than for every cell of every redraw.
const QString& RokuyoText(int index) {
    static const std::array<QString, 7> texts = [] {
        std::array<QString, 7> t;
        for (int i = 0; i < 7; ++i) t[i] = SjisToQString(RokuyoNames(i));
        return t;
    }();
    return texts[index >= 0 && index < 7 ? index : 0];
}

}  // namespace

TMonthlyCalendar::TMonthlyCalendar(QWidget* parent) : TCustomCalendarEx(parent) {}

void TMonthlyCalendar::SetAndRedraw(bool& field, bool value) {
    if (field == value) return;
    field = value;
    Redraw();
}

void TMonthlyCalendar::SetAndRedraw(TColor& field, TColor value) {
    if (field == value) return;
    field = value;
    Redraw();
}

void TMonthlyCalendar::SetFirstDayOfWeek(TDayOfWeek day) {
    if (day == firstDayOfWeek_ || day > dowSat) return;  // a value from outside the enumeration is ignored
    firstDayOfWeek_ = day;
    Redraw();
}

void TMonthlyCalendar::SetShowNeighbor(bool on) { SetAndRedraw(showNeighbor_, on); }
void TMonthlyCalendar::SetNeighborColor(TColor color) { SetAndRedraw(neighborColor_, color); }
void TMonthlyCalendar::SetAutoResize(bool on) { SetAndRedraw(autoResize_, on); }
void TMonthlyCalendar::SetFirstRowFirstDay(bool on) { SetAndRedraw(firstRowFirstDay_, on); }
void TMonthlyCalendar::SetLastRowLastDay(bool on) { SetAndRedraw(lastRowLastDay_, on); }
void TMonthlyCalendar::SetDayOfWeekBkColor(TColor color) { SetAndRedraw(dayOfWeekBkColor_, color); }
void TMonthlyCalendar::SetShowRokuyo(bool on) { SetAndRedraw(showRokuyo_, on); }

TMonthLayout TMonthlyCalendar::Layout() const {
    TYMD selected = JuliusToYMD(JuliusDay());
    return {selected.Year, selected.Month, firstDayOfWeek_, autoResize_, firstRowFirstDay_, lastRowLastDay_};
}

TJuliusDay TMonthlyCalendar::GetFirstDay() { return MonthFirstDay(Layout()); }

int TMonthlyCalendar::GetRowCount() { return MonthRowCount(Layout()); }

TGridCell TMonthlyCalendar::CellFromPoint(int x, int y) {
    return GridCellFromPoint(x, y, 7, GetRowCount(), ClientWidth(), ClientHeight());
}

int TMonthlyCalendar::GetRokuyo(TJuliusDay day) { return RokuyoOf(day); }

void TMonthlyCalendar::DrawCalendar() {
    TCustomCalendarEx::DrawCalendar();
    if (!HasCanvas()) return;
    THolidayRulesBatch batch(Rules());
    QPainter painter(&Canvas());
    const int rows = GetRowCount();
    const int width = ClientWidth();
    const int height = ClientHeight();
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < 7; ++column)
            DrawCell(painter, column, row, ToQRect(GridCellRect(column, row, 7, rows, width, height)));
}

void TMonthlyCalendar::DrawHeaderCell(QPainter& painter, int column, const QRect& rect) {
    const TFont& font = Fonts().DayOfWeekFont();
    const QColor background = ToQColor(dayOfWeekBkColor_);
    painter.fillRect(rect, background);
    DrawLine(painter, rect, Qt::AlignCenter | Qt::TextDontClip, ShortDayName(ColumnWeekday(firstDayOfWeek_, column)),
             font, ReadableColor(ToQColor(font.Color()), background));
}

void TMonthlyCalendar::DrawCell(QPainter& painter, int column, int row, const QRect& rect) {
    if (row == 0) {
        DrawHeaderCell(painter, column, rect);
        return;
    }
    const TJuliusDay day = MonthCellDay(GetFirstDay(), row, column);
    const TYMD date = JuliusToYMD(day);
    const TFont& font = DayFontForDrawing(date.Year, date.Month, date.Day);
    const bool neighbor = date.Month != Month();
    const bool selected = !neighbor && day == JuliusDay();
    if (neighbor && !showNeighbor_) return;

    // Every colour is drawn as read on the background (see ReadableColor); the selected
    // day is inverted, its text in the background colour on its class colour.
    const QColor background = PaintedBackground(Color());
    const auto onBackground = [&](const QColor& color) { return ReadableColor(color, background); };
    QColor textColor = onBackground(ToQColor(font.Color()));
    const QColor inverse = textColor;  // the class colour, filled behind the selected day
    if (neighbor) {
        textColor = onBackground(OrColor(font.Color(), neighborColor_));
    } else if (selected) {
        painter.fillRect(rect, inverse);
        textColor = background;
    }
    // The selected day shows its mark inverted, as its number.
    const bool marked = MarkedForDrawing(day);
    const QColor markColor = neighbor   ? onBackground(OrColor(MarkColor(), neighborColor_))
                             : selected ? background
                                        : onBackground(ToQColor(MarkColor()));
    if (!neighbor && ConflictForDrawing(day))
        DrawConflictCorner(painter, rect, ToQColor(Color()), selected);
    const int flags = Qt::AlignCenter;
    const QString number = QString::number(date.Day);
    const int rokuyo = showRokuyo_ ? GetRokuyo(day) : 0;
    if (rokuyo == 0) {
        const QRectF text = DrawLine(painter, rect, flags, number, font, textColor);
        if (marked) DrawEntryUnderline(painter, text, rect, markColor);
        return;
    }

    const TFont& rokuyoFont = Fonts().RokuyoFont();
    const int strip = std::abs(rokuyoFont.Height());
    const QRect numberRect = rect.adjusted(0, 0, 0, -strip);
    const QRectF text = DrawLine(painter, numberRect, flags, number, font, textColor);
    if (marked) DrawEntryUnderline(painter, text, numberRect, markColor);
    const QRect stripRect(rect.left(), rect.top() + rect.height() - strip, rect.width(), strip);
    QColor rokuyoColor = onBackground(ToQColor(rokuyoFont.Color()));
    if (neighbor) {
        rokuyoColor = onBackground(OrColor(rokuyoFont.Color(), neighborColor_));
    } else if (selected) {
        painter.fillRect(stripRect, inverse);
        rokuyoColor = background;
    }
    DrawLine(painter, stripRect, flags, RokuyoText(rokuyo), rokuyoFont, rokuyoColor);
}

void TMonthlyCalendar::KeyDown(int key, Qt::KeyboardModifiers) {
    switch (key) {
        case Qt::Key_Right: NextDay(); break;
        case Qt::Key_Left: PrevDay(); break;
        case Qt::Key_Up: SetJuliusDay(JuliusDay() - 7); break;
        case Qt::Key_Down: SetJuliusDay(JuliusDay() + 7); break;
        case Qt::Key_PageUp: PrevMonth(); break;
        case Qt::Key_PageDown: NextMonth(); break;
        // The first and the last day of the selected day's week row.
        case Qt::Key_Home: SetJuliusDay(JuliusDay() - WeekColumn()); break;
        case Qt::Key_End: SetJuliusDay(JuliusDay() + 6 - WeekColumn()); break;
        default: break;
    }
}

int TMonthlyCalendar::WeekColumn() const {
    return (JuliusDayOfWeek(JuliusDay()) - 1 - firstDayOfWeek_ + 7) % 7;
}

void TMonthlyCalendar::MouseDown(Qt::MouseButton, QPoint clientPos) {
    const TGridCell cell = CellFromPoint(clientPos.x(), clientPos.y());
    if (cell.Row == 0) return;
    const TJuliusDay day = MonthCellDay(GetFirstDay(), cell.Row, cell.Column);
    const TYMD date = JuliusToYMD(day);
    if ((date.Year == Year() && date.Month == Month()) || neighborJump_) SetJuliusDay(day);
}
