#include "calendar/custom_calendar_ex.h"

#include "calendar/cal_ex_paint.h"
#include "calendar/calendar_accessible.h"

#include "platform/dialogs.h"
#include "platform/handler_guard.h"
#include "platform/qt_colors.h"
#include "platform/qt_fonts.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <functional>
#include <unordered_set>

// Lets the rules call back into the control's overridable operations.
class TCustomCalendarEx::TRules : public THolidayRules {
public:
    explicit TRules(TCustomCalendarEx& owner) : THolidayRules(owner.holidayList_, owner.specialDayList_), owner_(owner) {}

    TDayLine ParseDayLine(std::string_view line, std::int32_t year, int month) override {
        return owner_.ParseDayLine(line, year, month);
    }
    TDayAttrs GetDayAttrs(std::int32_t y, std::uint8_t m, std::uint8_t d) override { return owner_.GetDayAttrs(y, m, d); }
    std::string GetHolidayNames(std::int32_t y, std::uint8_t m, std::uint8_t d) override {
        return owner_.GetHolidayNames(y, m, d);
    }

private:
    TCustomCalendarEx& owner_;
};

TCustomCalendarEx::TCustomCalendarEx(QWidget* parent)
    : QFrame(parent), fonts_([this] {
          text_.Forget();
          FontsChanged();
          Redraw();
      }), juliusDay_(DateTimeToJulius(CurrentDate())), color_(clWindow),
      rules_(std::make_unique<TRules>(*this)), text_(fonts_) {
    static const bool heard = (QAccessible::installFactory(CalendarAccessibleFactory), true);
    (void)heard;
    fonts_.DayOfWeekFont().SetColor(clWhite);
    fonts_.HolidayFont().SetColor(clRed);
    fonts_.SundayFont().SetColor(clRed);
    fonts_.SaturdayFont().SetColor(clBlue);
    fonts_.SpecialDayFont().SetColor(clGreen);
    fonts_.WeekdayFont().SetColor(clBlack);
    fonts_.RokuyoFont().SetSize(10);
    fonts_.RokuyoFont().SetColor(clBlack);
    holidayList_.OnChange = [this] { LinesChanged(); };
    specialDayList_.OnChange = [this] { LinesChanged(); };
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TCustomCalendarEx::~TCustomCalendarEx() = default;

void TCustomCalendarEx::SetJuliusDay(TJuliusDay day) {
    if (day == juliusDay_) return;
    juliusDay_ = day;
    Redraw();
    CalendarAccess::DayChanged(this);
    TYMD d = JuliusToYMD(day);
    DayChange(d.Year, d.Month, d.Day);
}

void TCustomCalendarEx::SetYear(std::int32_t year) {
    TYMD d = JuliusToYMD(juliusDay_);
    if (!IsValidYMD(year, d.Month, d.Day)) return;
    SetJuliusDay(YMDToJulius(year, d.Month, d.Day));
    Redraw();
}

void TCustomCalendarEx::SetMonth(int month) {
    TYMD d = JuliusToYMD(juliusDay_);
    if (!IsValidYMD(d.Year, month, d.Day)) return;
    SetJuliusDay(YMDToJulius(d.Year, month, d.Day));
    Redraw();
}

void TCustomCalendarEx::SetDay(int day) {
    TYMD d = JuliusToYMD(juliusDay_);
    if (!IsValidYMD(d.Year, d.Month, day)) return;
    SetJuliusDay(YMDToJulius(d.Year, d.Month, day));
    Redraw();
}

void TCustomCalendarEx::SetHolidayList(const TStrings& lines) {
    holidayList_.Assign(lines);
    LinesChanged();
}

void TCustomCalendarEx::SetSpecialDayList(const TStrings& lines) {
    specialDayList_.Assign(lines);
    LinesChanged();
}

void TCustomCalendarEx::LinesChanged() {
    rules_->LinesChanged();
    Redraw();
}

void TCustomCalendarEx::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Redraw();
}

bool TCustomCalendarEx::AutoEquinox() const { return rules_->AutoEquinox(); }

void TCustomCalendarEx::SetAutoEquinox(bool on) {
    if (on == rules_->AutoEquinox()) return;
    rules_->SetAutoEquinox(on);
    Redraw();
}

bool TCustomCalendarEx::AutoFurikae() const { return rules_->AutoFurikae(); }

void TCustomCalendarEx::SetAutoFurikae(bool on) {
    if (on == rules_->AutoFurikae()) return;
    rules_->SetAutoFurikae(on);
    Redraw();
}

bool TCustomCalendarEx::AutoKokumin() const { return rules_->AutoKokumin(); }

void TCustomCalendarEx::SetAutoKokumin(bool on) {
    if (on == rules_->AutoKokumin()) return;
    rules_->SetAutoKokumin(on);
    Redraw();
}

void TCustomCalendarEx::SetShowMarks(bool on) {
    if (on == showMarks_) return;
    showMarks_ = on;
    Redraw();
}

void TCustomCalendarEx::SetMarkColor(TColor color) {
    if (color == markColor_) return;
    markColor_ = color;
    if (showMarks_) Redraw();
}

void TCustomCalendarEx::EntriesChanged() {
    if (showMarks_) Redraw();
}

bool TCustomCalendarEx::HasEntry(std::int32_t y, std::uint8_t m, std::uint8_t d) {
    return OnHasEntry && OnHasEntry(y, m, d);
}

bool TCustomCalendarEx::MarkedForDrawing(TJuliusDay day) {
    if (!showMarks_ || !OnHasEntry) return false;
    const TYMD date = JuliusToYMD(day);
    return HasEntry(date.Year, date.Month, date.Day);
}

void TCustomCalendarEx::DrawEntryUnderline(QPainter& painter, const QRectF& text, const QRect& bounds,
                                           const QColor& color) {
    const int thick = std::clamp(static_cast<int>(std::lround(text.height() / 5.0)), 2, 6);
    const double half = std::max(text.width(), text.height()) / 2;
    const int left = static_cast<int>(std::lround(text.center().x() - half));
    const int right = static_cast<int>(std::lround(text.center().x() + half));
    // Just under the text's box, whose lowest pixels (below the digits' baseline) stay
    // empty; pushed up into them only where the cell has no room below.
    const int top = std::min(static_cast<int>(std::floor(text.bottom())), bounds.bottom() + 1 - thick);
    painter.fillRect(QRect(QPoint(left, top), QPoint(right - 1, top + thick - 1)).intersected(bounds), color);
}

void TCustomCalendarEx::DrawEntryBar(QPainter& painter, const QRect& row, int width, const QColor& color) {
    painter.fillRect(QRect(row.left(), row.top() + 1, width, std::max(1, row.height() - 2)), color);
}

bool TCustomCalendarEx::ConflictForDrawing(TJuliusDay day) const {
    if (!OnHasConflict) return false;
    const TYMD date = JuliusToYMD(day);
    return OnHasConflict(date.Year, date.Month, date.Day);
}

void TCustomCalendarEx::DrawConflictCorner(QPainter& painter, const QRect& cell, const QColor& edge, bool selected) {
    const int size = std::clamp(cell.height() * 2 / 5, 5, 12);
    const int right = cell.left() + cell.width();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    if (selected) {
        const QPoint outer[] = {{right - size - 2, cell.top()}, {right, cell.top()}, {right, cell.top() + size + 2}};
        painter.setBrush(edge);
        painter.drawPolygon(outer, 3);
    }
    const QPoint corner[] = {{right - size, cell.top()}, {right, cell.top()}, {right, cell.top() + size}};
    painter.setBrush(ToQColor(kConflictMarkColor));
    painter.drawPolygon(corner, 3);
    painter.restore();
}

void TCustomCalendarEx::NextDay() { SetJuliusDay(juliusDay_ + 1); }
void TCustomCalendarEx::PrevDay() { SetJuliusDay(juliusDay_ - 1); }
void TCustomCalendarEx::NextWeek() { SetJuliusDay(juliusDay_ + 7); }
void TCustomCalendarEx::PrevWeek() { SetJuliusDay(juliusDay_ - 7); }
void TCustomCalendarEx::NextMonth() { StepMonths(1); }
void TCustomCalendarEx::PrevMonth() { StepMonths(-1); }
void TCustomCalendarEx::NextYear() { StepMonths(12); }
void TCustomCalendarEx::PrevYear() { StepMonths(-12); }

void TCustomCalendarEx::Today() { SetJuliusDay(DateTimeToJulius(CurrentDate())); }

void TCustomCalendarEx::StepMonths(int months) {
    TYMD d = JuliusToYMD(juliusDay_);
    // Months counted from year 0 keep the carry over December and January exact,
    // negative years included.
    std::int64_t index = static_cast<std::int64_t>(d.Year) * 12 + (d.Month - 1) + months;
    std::int64_t year = index >= 0 ? index / 12 : -((-index + 11) / 12);
    int month = static_cast<int>(index - year * 12) + 1;  // [1, 12]
    int day = std::min<int>(d.Day, DaysInMonth(static_cast<std::int32_t>(year), month));
    SetJuliusDay(YMDToJulius(static_cast<std::int32_t>(year), month, day));
}

TDayLine TCustomCalendarEx::ParseDayLine(std::string_view line, std::int32_t year, int month) {
    return rules_->THolidayRules::ParseDayLine(line, year, month);
}

TDayAttrs TCustomCalendarEx::GetDayAttrs(std::int32_t y, std::uint8_t m, std::uint8_t d) {
    return rules_->THolidayRules::GetDayAttrs(y, m, d);
}

TFont& TCustomCalendarEx::GetDayFont(std::int32_t y, std::uint8_t m, std::uint8_t d) {
    return fonts_.Font(DayFontIndex(GetDayAttrs(y, m, d)));
}

std::string TCustomCalendarEx::GetHolidayNames(std::int32_t y, std::uint8_t m, std::uint8_t d) {
    return rules_->THolidayRules::GetHolidayNames(y, m, d);
}

TFont& TCustomCalendarEx::DayFontForDrawing(std::int32_t y, std::uint8_t m, std::uint8_t d) {
    try {
        return GetDayFont(y, m, d);
    } catch (const std::exception& e) {
        NoteRenderError(e);
        return fonts_.WeekdayFont();
    }
}

std::string TCustomCalendarEx::HolidayNamesForDrawing(std::int32_t y, std::uint8_t m, std::uint8_t d) {
    try {
        return GetHolidayNames(y, m, d);
    } catch (const std::exception& e) {
        NoteRenderError(e);
        return {};
    }
}

void TCustomCalendarEx::NoteRenderError(const std::exception& error) {
    if (renderError_.empty()) renderError_ = error.what();
}

// Every redraw meets a bad line again (a resize, a colour, the next day), so each
// fault is shown once for a given content of the lists, by whichever calendar meets it
// first: the month grid holds copies of the week list's lines and must not show the
// same box a second time. Changing the lists (fixing or adding a line) re-arms it.
void TCustomCalendarEx::ReportRenderError() {
    if (renderError_.empty()) return;
    std::string message;
    message.swap(renderError_);
    static std::unordered_set<std::size_t> reported;
    const std::size_t key =
        std::hash<std::string>{}(message + '\x1f' + holidayList_.Text() + '\x1f' + specialDayList_.Text());
    if (!reported.insert(key).second) return;
    // Shown from the event loop: a modal box in the middle of a resize or of the owner's
    // day-change handling would run events while the control is half-way through them.
    QTimer::singleShot(0, this, Guarded([message] { Dialogs().Error(message); }));
}

const QImage& TCustomCalendarEx::BackBuffer() const {
    // The picture is a cache of the calendar's state; drawing it changes nothing else.
    if (sizeChanged_) const_cast<TCustomCalendarEx*>(this)->Render();
    return backBuffer_;
}

void TCustomCalendarEx::Render() {
    sizeChanged_ = false;
    renderError_.clear();
    DrawCalendar();
    ReportRenderError();
}

THolidayRules& TCustomCalendarEx::Rules() { return *rules_; }

void TCustomCalendarEx::DrawCalendar() {
    if (!HasCanvas()) return;
    backBuffer_.fill(PaintedBackground(color_));
}

void TCustomCalendarEx::DayChange(std::int32_t y, std::uint8_t m, std::uint8_t d) {
    if (OnDayChange) OnDayChange(this, y, m, d);
}

void TCustomCalendarEx::KeyDown(int, Qt::KeyboardModifiers) {}

void TCustomCalendarEx::MouseDown(Qt::MouseButton, QPoint) {}

void TCustomCalendarEx::Redraw() {
    if (updateDepth_ > 0) {
        redrawPending_ = true;
        return;
    }
    Render();
    update();
}

void TCustomCalendarEx::EndUpdate() {
    if (updateDepth_ == 0 || --updateDepth_ > 0 || !redrawPending_) return;
    redrawPending_ = false;
    Redraw();
}

void TCustomCalendarEx::paintEvent(QPaintEvent* event) {
    if (sizeChanged_ && updateDepth_ == 0) Render();
    {
        QPainter painter(this);
        QRect client = contentsRect();
        painter.drawImage(client.topLeft(), backBuffer_, QRect(0, 0, client.width(), client.height()));
        // The keys only work while the calendar has the focus, so show when it does.
        if (hasFocus()) {
            QStyleOptionFocusRect option;
            option.initFrom(this);
            // Styles draw the mark only after a focus change by the keyboard; a click is
            // the usual way here, and the arrow keys work after it just the same.
            option.state |= QStyle::State_KeyboardFocusChange | QStyle::State_HasFocus;
            option.rect = client.adjusted(1, 1, -1, -1);
            option.backgroundColor = palette().color(QPalette::Window);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        }
    }
    QFrame::paintEvent(event);
}

void TCustomCalendarEx::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    // System colours and the high-contrast adjustments follow the palette: the picture is
    // drawn again when next shown, as after a resize.
    if (event->type() == QEvent::PaletteChange) {
        sizeChanged_ = true;
        update();
    }
}

void TCustomCalendarEx::focusInEvent(QFocusEvent* event) {
    QFrame::focusInEvent(event);
    update();
}

void TCustomCalendarEx::focusOutEvent(QFocusEvent* event) {
    QFrame::focusOutEvent(event);
    update();
}

void TCustomCalendarEx::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    QSize size = contentsRect().size();
    if (size.isEmpty())
        backBuffer_ = QImage();
    else if (backBuffer_.size() != size)
        backBuffer_ = QImage(size, QImage::Format_RGB32);
    sizeChanged_ = true;
    update();
}

void TCustomCalendarEx::keyPressEvent(QKeyEvent* event) {
    KeyDown(event->key(), event->modifiers());
    if (OnKeyDown) OnKeyDown(this, event->key(), event->modifiers());
}

void TCustomCalendarEx::mousePressEvent(QMouseEvent* event) {
    QPoint client = event->position().toPoint() - contentsRect().topLeft();
    pressed_ = event->button() == Qt::LeftButton;
    MouseDown(event->button(), client);
    if (OnMouseDown) OnMouseDown(this, event->button(), client);
}

void TCustomCalendarEx::mouseReleaseEvent(QMouseEvent* event) {
    bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click && OnClick) OnClick(this);
}
