#pragma once
// The common base of the month grid and the week list: the selected day, the seven
// fonts, the two rule lists, the background colour and the off-screen picture. The
// descendants decide what goes where; the base keeps the picture in step with the state.
#include "calendar/cal_ex_fonts.h"
#include "calendar/cal_ex_text.h"
#include "calendar/day_attrs.h"
#include "calendar/holiday_rules.h"
#include "calendar/julius.h"
#include "platform/color.h"
#include "platform/string_list.h"

#include <QFont>
#include <QFrame>
#include <QImage>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TCustomCalendarEx : public QFrame {
public:
    // A deep orange: apart from every class colour, and dark enough to stand out on the
    // white and the pale yellow backgrounds.
    static constexpr TColor kDefaultMarkColor = RGBColor(224, 96, 0);

    using TDayChangeEvent = std::function<void(TCustomCalendarEx* sender, std::int32_t y, std::uint8_t m, std::uint8_t d)>;

    explicit TCustomCalendarEx(QWidget* parent = nullptr);
    ~TCustomCalendarEx() override;

    TCalExFonts& Fonts() { return fonts_; }
    const TCalExFonts& Fonts() const { return fonts_; }

    TJuliusDay JuliusDay() const { return juliusDay_; }
    void SetJuliusDay(TJuliusDay day);
    std::int32_t Year() const { return JuliusToYMD(juliusDay_).Year; }
    std::uint8_t Month() const { return JuliusToYMD(juliusDay_).Month; }
    std::uint8_t Day() const { return JuliusToYMD(juliusDay_).Day; }
    // A date that does not exist is ignored; 1582-10-05..14 raises EJuliusError.
    void SetYear(std::int32_t year);
    void SetMonth(int month);
    void SetDay(int day);

    TStringList& HolidayList() { return holidayList_; }
    const TStringList& HolidayList() const { return holidayList_; }
    void SetHolidayList(const TStrings& lines);
    TStringList& SpecialDayList() { return specialDayList_; }
    const TStringList& SpecialDayList() const { return specialDayList_; }
    void SetSpecialDayList(const TStrings& lines);

    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool AutoEquinox() const;
    void SetAutoEquinox(bool on);
    bool AutoFurikae() const;
    void SetAutoFurikae(bool on);
    // The citizens' holiday "国民の休日" between two holidays.
    bool AutoKokumin() const;
    void SetAutoKokumin(bool on);

    // Days with a diary entry carry a mark while ShowMarks is on; whether a day has one is
    // the owner's answer through OnHasEntry.
    bool ShowMarks() const { return showMarks_; }
    void SetShowMarks(bool on);
    TColor MarkColor() const { return markColor_; }
    void SetMarkColor(TColor color);
    // The owner's entries changed: the marks are drawn again.
    void EntriesChanged();
    virtual bool HasEntry(std::int32_t y, std::uint8_t m, std::uint8_t d);
    std::function<bool(std::int32_t y, std::uint8_t m, std::uint8_t d)> OnHasEntry;
    // Days for which a file-sync tool left another version carry a warning corner, whether
    // or not entry marks are shown: a triangle, not a dot or a bar, so it reads apart from
    // the entry mark without its colour.
    std::function<bool(std::int32_t y, std::uint8_t m, std::uint8_t d)> OnHasConflict;
    static constexpr TColor kConflictMarkColor = RGBColor(208, 0, 0);

    void NextDay();
    void PrevDay();
    void NextWeek();
    void PrevWeek();
    void NextMonth();
    void PrevMonth();
    void NextYear();
    void PrevYear();
    void Today();

    // Between BeginUpdate and EndUpdate a change only marks the picture out of date, and
    // the last EndUpdate draws it once; pairs may nest. For setting many properties at once.
    void BeginUpdate() { ++updateDepth_; }
    void EndUpdate();

    // The rendered picture (client size), brought up to date first.
    const QImage& BackBuffer() const;
    int ClientWidth() const { return contentsRect().width(); }
    int ClientHeight() const { return contentsRect().height(); }

    TDayChangeEvent OnDayChange;
    // Raised after the control's own handling of a press (client coordinates).
    std::function<void(TCustomCalendarEx* sender, Qt::MouseButton button, QPoint clientPos)> OnMouseDown;
    std::function<void(TCustomCalendarEx* sender)> OnClick;
    std::function<void(TCustomCalendarEx* sender, int key, Qt::KeyboardModifiers modifiers)> OnKeyDown;

    // The rules of THolidayRules over this control's lists and switches. Each of these
    // operations reaches the others through this class, so refining one in a descendant
    // is heard by the rest (the substitute-holiday look-back calls GetDayAttrs here).
    virtual TDayLine ParseDayLine(std::string_view line, std::int32_t year, int month);
    // The class of a day and the font it is drawn in; descendants may refine them.
    virtual TDayAttrs GetDayAttrs(std::int32_t y, std::uint8_t m, std::uint8_t d);
    virtual TFont& GetDayFont(std::int32_t y, std::uint8_t m, std::uint8_t d);
    // The names the day carries, as comma text.
    virtual std::string GetHolidayNames(std::int32_t y, std::uint8_t m, std::uint8_t d);

protected:
    // Renders into the back buffer only. The base fills the client area with Color.
    virtual void DrawCalendar();
    // One of the fonts changed; the picture is redrawn after this.
    virtual void FontsChanged() {}
    virtual void DayChange(std::int32_t y, std::uint8_t m, std::uint8_t d);
    // The control's own key and mouse handling (client coordinates).
    virtual void KeyDown(int key, Qt::KeyboardModifiers modifiers);
    virtual void MouseDown(Qt::MouseButton button, QPoint clientPos);

    // DrawCalendar, then a repaint request: every change of the picture goes through here.
    void Redraw();
    // The rules over this control's lists; a drawing opens a batch on them, since a
    // picture asks about every day of a few months. The readings of the lines are kept
    // from drawing to drawing: a descendant whose ParseDayLine reads a line differently
    // after a change of its own calls LinesChanged.
    THolidayRules& Rules();
    // Drops the kept readings of the rule lines and redraws; any change of a list calls it.
    void LinesChanged();

    // For drawing a day: a rule line that cannot be read must not cost the user the
    // whole calendar. The failing day is drawn as an ordinary weekday without names, and
    // the error is reported once after the picture is complete (see ReportRenderError).
    TFont& DayFontForDrawing(std::int32_t y, std::uint8_t m, std::uint8_t d);
    std::string HolidayNamesForDrawing(std::int32_t y, std::uint8_t m, std::uint8_t d);
    // The Qt font of a font; for the seven fonts made once and kept until a font changes.
    const QFont& QFontOf(const TFont& font) { return text_.QFontOf(font); }
    // One line of text in `font` and `color`, aligned in `rect` as by `flags` (horizontal
    // left or centre, vertical centre); clipped to `rect` unless Qt::TextDontClip. Laid-out
    // texts are kept, since the same numbers and names come back on every redraw.
    QRectF DrawLine(QPainter& painter, const QRect& rect, int flags, const QString& text, const TFont& font,
                    const QColor& color) {
        return text_.DrawLine(painter, rect, flags, text, font, color);
    }
    // Whether the day gets a mark in this picture.
    bool MarkedForDrawing(TJuliusDay day);
    // The mark of a day with an entry: a bar under `text` (the day's number, the row's
    // date), a fifth of the text's height thick but 2 px at least, as wide as the text
    // and never narrower than it is high, kept inside `bounds`. It stays off the number
    // and the cell's fill, so the day class's colour and the selection show as ever.
    static void DrawEntryUnderline(QPainter& painter, const QRectF& text, const QRect& bounds, const QColor& color);
    // The row's second mark in the week list: a bar along its left edge, in the margin
    // before its text.
    static void DrawEntryBar(QPainter& painter, const QRect& row, int width, const QColor& color);
    bool ConflictForDrawing(TJuliusDay day) const;
    // A right triangle filling the cell's top-right corner, sized to the cell's height, in
    // the warning's colour on every cell; on a selected cell, whose fill may be of any
    // colour, it is edged in `edge`.
    static void DrawConflictCorner(QPainter& painter, const QRect& cell, const QColor& edge, bool selected);
    // Whether the picture can be drawn at all (the control has a size).
    bool HasCanvas() const { return !backBuffer_.isNull(); }
    QImage& Canvas() { return backBuffer_; }

    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    class TRules;

    void StepMonths(int months);
    // DrawCalendar and the report of a rule error met while drawing.
    void Render();
    void NoteRenderError(const std::exception& error);
    void ReportRenderError();

    TCalExFonts fonts_;
    TJuliusDay juliusDay_;
    TStringList holidayList_;
    TStringList specialDayList_;
    TColor color_;
    bool showMarks_ = true;
    TColor markColor_ = kDefaultMarkColor;
    std::unique_ptr<TRules> rules_;
    std::string renderError_;
    TCalExText text_;
    QImage backBuffer_;
    bool pressed_ = false;
    int updateDepth_ = 0;
    bool redrawPending_ = false;
    // A resize leaves the picture to be drawn when it is next painted or asked for: the
    // layout resizes a calendar several times before it is first shown.
    bool sizeChanged_ = false;
};
