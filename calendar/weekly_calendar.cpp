#include "calendar/weekly_calendar.h"

#include "calendar/cal_ex_paint.h"
#include "platform/qt_colors.h"
#include "platform/qt_contrast.h"
#include "platform/qt_fonts.h"
#include "platform/qt_text.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

TWeeklyCalendar::TWeeklyCalendar(QWidget* parent) : TCustomCalendarEx(parent) { SetColor(clInfoBk); }

void TWeeklyCalendar::SetFirstDayOfWeek(TDayOfWeek day) {
    if (day == firstDayOfWeek_ || day > dowSat) return;  // a value from outside the enumeration is ignored
    firstDayOfWeek_ = day;
    Redraw();
}

void TWeeklyCalendar::SetBorderColor(TColor color) {
    if (color == borderColor_) return;
    borderColor_ = color;
    Redraw();
}

QSize TWeeklyCalendar::minimumSizeHint() const {
    if (textSize_.isEmpty()) {
        int rowHeight = 0;
        for (int i = 0; i < TCalExFonts::Count; ++i)
            rowHeight = std::max(rowHeight, QFontMetrics(ToQFont(Fonts().Font(i))).height() + 2);
        const int weekday =
            QFontMetrics(ToQFont(Fonts().Font(TCalExFonts::Weekday))).horizontalAdvance(QString(24, QChar(0x3042)));
        textSize_ = {weekday, 7 * rowHeight};
    }
    const int frame = 2 * frameWidth();
    return textSize_ + QSize(frame, frame);
}

void TWeeklyCalendar::FontsChanged() {
    textSize_ = QSize();
    updateGeometry();
}

TJuliusDay TWeeklyCalendar::GetFirstDay() { return WeekFirstDay(JuliusDay(), firstDayOfWeek_); }

void TWeeklyCalendar::DrawCalendar() {
    TCustomCalendarEx::DrawCalendar();
    if (!HasCanvas()) return;
    THolidayRulesBatch batch(Rules());
    QPainter painter(&Canvas());
    const int width = ClientWidth();
    const int height = ClientHeight();
    for (int row = 0; row < 7; ++row) DrawCell(painter, row, ToQRect(GridCellRect(0, row, 1, 7, width, height)));
}

QString TWeeklyCalendar::RowText(int row) {
    const TYMD date = JuliusToYMD(GetFirstDay() + row);
    return QString::number(date.Month) + QLatin1Char('/') + QString::number(date.Day) + QLatin1Char('(') +
           ShortDayName(ColumnWeekday(firstDayOfWeek_, row)) + QStringLiteral(") ") +
           SjisToQString(HolidayNamesForDrawing(date.Year, date.Month, date.Day));
}

void TWeeklyCalendar::DrawCell(QPainter& painter, int row, const QRect& rect) {
    const TJuliusDay day = GetFirstDay() + row;
    const TYMD date = JuliusToYMD(day);
    const TFont& font = DayFontForDrawing(date.Year, date.Month, date.Day);
    // As read on the background (see ReadableColor); the selected row is inverted.
    const QColor background = PaintedBackground(Color());
    QColor textColor = ReadableColor(ToQColor(font.Color()), background);
    const bool selected = day == JuliusDay();
    if (selected) {
        painter.fillRect(rect, textColor);
        textColor = background;
    }
    // The selected row shows its marks inverted, as its text.
    const bool marked = MarkedForDrawing(day);
    const QColor markColor = selected ? textColor : ReadableColor(ToQColor(MarkColor()), background);
    if (marked) DrawEntryBar(painter, rect, TextMargin, markColor);
    if (ConflictForDrawing(day)) DrawConflictCorner(painter, rect, ToQColor(Color()), selected);
    const QString text = RowText(row);
    // A few pixels of margin, so the text does not touch the frame.
    const QRectF drawn = DrawLine(painter, rect.adjusted(TextMargin, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip,
                                  text, font, textColor);
    if (marked) {
        // Under the date, not the holiday names after it.
        const int dateLength = static_cast<int>(text.indexOf(QLatin1Char(')'))) + 1;
        const qreal dateWidth = QFontMetricsF(ToQFont(font)).horizontalAdvance(text.left(dateLength));
        DrawEntryUnderline(painter, QRectF(drawn.left(), drawn.top(), std::min(dateWidth, drawn.width()), drawn.height()),
                           rect.adjusted(0, 0, 0, -1), markColor);
    }
    if (row < 6) {
        // On the first pixel row of the next row: a selected next row covers it.
        const int y = rect.top() + rect.height();
        painter.setPen(ToQColor(borderColor_));
        painter.drawLine(rect.left(), y, rect.left() + rect.width(), y);
    }
}

void TWeeklyCalendar::keyPressEvent(QKeyEvent* event) {
    if (OnKeyDown) OnKeyDown(this, event->key(), event->modifiers());
    KeyDown(event->key(), event->modifiers());
}

void TWeeklyCalendar::KeyDown(int key, Qt::KeyboardModifiers) {
    switch (key) {
        case Qt::Key_Up: PrevDay(); break;
        case Qt::Key_Down: NextDay(); break;
        case Qt::Key_PageUp: PrevWeek(); break;
        case Qt::Key_PageDown: NextWeek(); break;
        case Qt::Key_Home: SetJuliusDay(GetFirstDay()); break;
        case Qt::Key_End: SetJuliusDay(GetFirstDay() + 6); break;
        default: break;
    }
}

void TWeeklyCalendar::MouseDown(Qt::MouseButton, QPoint clientPos) {
    const int row = GridCellFromPoint(0, clientPos.y(), 1, 7, ClientWidth(), ClientHeight()).Row;
    SetJuliusDay(GetFirstDay() + row);
}
