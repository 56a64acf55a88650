// The colours the calendars actually paint, read back from their pictures: under a
// high-contrast scheme every text, the selection and the marks reach 4.5:1 on the cell
// they sit on; under an ordinary scheme the user's colours are painted as chosen.
#include "calendar/cal_ex_paint.h"
#include "calendar/monthly_calendar.h"
#include "calendar/weekly_calendar.h"
#include "platform/contrast.h"
#include "platform/qt_colors.h"
#include "platform/qt_contrast.h"
#include "support/widget_helpers.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

namespace {

double Ratio(const QColor& a, const QColor& b) { return ContrastRatio(FromQColor(a), FromQColor(b)); }

// The pixel of `rect` that stands out most from `background`: antialiasing only mixes a
// text's colour with the background, so this is the text's own colour or the strongest
// of its mixes.
QColor Strongest(const QImage& image, const QRect& rect, const QColor& background) {
    QColor best = background;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor p = PixelAt(image, {x, y});
            if (Ratio(p, background) > Ratio(best, background)) best = p;
        }
    return best;
}

// The pixels where two pictures differ, as their colours in `with`.
std::vector<QColor> Changed(const QImage& without, const QImage& with, const QRect& rect) {
    std::vector<QColor> changed;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (without.pixel(x, y) != with.pixel(x, y)) changed.push_back(PixelAt(with, {x, y}));
    return changed;
}

// The colours the main window starts with (fonts: weekday, Saturday, Sunday, day of
// week, holiday, special day, rokuyo), in a larger face so that strokes hold whole pixels.
void StartLikeTheWindow(TCustomCalendarEx& cal, bool marks) {
    static const TColor colors[TCalExFonts::Count] = {clBlack, clBlue, clRed, clWhite, clRed, clGreen, clBlack};
    cal.BeginUpdate();
    cal.SetColor(clNone);
    for (int i = 0; i < TCalExFonts::Count; ++i) {
        cal.Fonts().Font(i).SetHeight(-22);
        cal.Fonts().Font(i).SetColor(colors[i]);
    }
    cal.SetJuliusDay(YMDToJulius(2000, 1, 20));
    cal.SetShowMarks(marks);
    // Marks on a Sunday, a Saturday, a weekday, the selected day and a neighbour's day.
    cal.OnHasEntry = [](std::int32_t, std::uint8_t m, std::uint8_t d) {
        return (m == 1 && (d == 9 || d == 15 || d == 18 || d == 20)) || (m == 2 && d == 2);
    };
    cal.EndUpdate();
}

struct Scheme {
    const char* name;
    std::optional<bool> dark;  // none: the ordinary palette the tests start with
};
const Scheme kSchemes[] = {{"ordinary", std::nullopt}, {"dark high contrast", true}, {"light high contrast", false}};

class DrawnContrast : public ::testing::TestWithParam<Scheme> {
protected:
    void SetUp() override {
        saved = QApplication::palette();
        if (GetParam().dark) QApplication::setPalette(HighContrastPalette(*GetParam().dark));
    }
    void TearDown() override { QApplication::setPalette(saved); }
    bool High() const { return GetParam().dark.has_value(); }

    // Every cell (its background read at a corner) holds text at 4.5:1 under a
    // high-contrast scheme; `exact` names cells that must show a user colour unchanged
    // under the ordinary one.
    void CheckCells(const QImage& picture, const std::vector<QRect>& cells, const QPoint& corner,
                    const std::function<std::optional<QColor>(int)>& exact) {
        for (size_t i = 0; i < cells.size(); ++i) {
            const QRect& cell = cells[i];
            const QColor background = PixelAt(picture, cell.topLeft() + corner);
            const QColor text = Strongest(picture, cell.adjusted(1, 1, -1, -1), background);
            SCOPED_TRACE(testing::Message() << "cell " << i << " text " << text.name().toStdString() << " on "
                                            << background.name().toStdString());
            ASSERT_NE(text, background) << "no text drawn";
            if (High()) {
                EXPECT_GE(Ratio(text, background), kReadableContrast);
            } else if (const std::optional<QColor> want = exact(static_cast<int>(i))) {
                EXPECT_EQ(text, *want);
            }
        }
    }

    // The marks (what turning them on changes) stand out from their cell's background.
    void CheckMarks(const QImage& without, const QImage& with, const std::vector<QRect>& cells, const QPoint& corner,
                    int expectedMarked) {
        int marked = 0;
        for (const QRect& cell : cells) {
            const std::vector<QColor> mark = Changed(without, with, cell);
            if (mark.empty()) continue;
            ++marked;
            const QColor background = PixelAt(with, cell.topLeft() + corner);
            double best = 1;
            for (const QColor& p : mark) best = std::max(best, Ratio(p, background));
            EXPECT_GE(best, High() ? kReadableContrast : 2.0) << "mark at " << cell.x() << "," << cell.y();
        }
        EXPECT_EQ(marked, expectedMarked);
    }

    TestEnvironment env;
    QPalette saved;
};

}  // namespace

TEST_P(DrawnContrast, SchemeIsRecognised) {
    EXPECT_EQ(HighContrastScheme(), High());
    // The window's own labels (the status bar) draw in the palette's text on its window.
    if (High()) {
        const QPalette p = QApplication::palette();
        EXPECT_GE(Ratio(p.color(QPalette::WindowText), p.color(QPalette::Window)), kReadableContrast);
        EXPECT_GE(Ratio(p.color(QPalette::Disabled, QPalette::WindowText), p.color(QPalette::Window)),
                  kReadableContrast);
    }
}

TEST_P(DrawnContrast, MonthGrid) {
    TMonthlyCalendar cal, marked;
    for (TMonthlyCalendar* c : {&cal, &marked}) {
        StartLikeTheWindow(*c, c == &marked);
        c->SetNeighborColor(clFuchsia);
        c->SetDayOfWeekBkColor(clNavy);
        c->SetShowNeighbor(true);
        c->SetAutoResize(false);  // six weeks: neighbour days at both ends
        const int frame = c->frameWidth() * 2;
        c->resize(420 + frame, 280 + frame);
        c->show();
    }
    const QImage picture = marked.BackBuffer();
    std::vector<QRect> cells;
    for (int row = 0; row < 7; ++row)
        for (int column = 0; column < 7; ++column)
            cells.push_back(ToQRect(GridCellRect(column, row, 7, cal.GetRowCount(), cal.ClientWidth(), cal.ClientHeight())));
    // January 2000 starts on a Saturday: row 1 holds Dec 26..31 and Jan 1.
    CheckCells(picture, cells, {1, 1}, [](int i) -> std::optional<QColor> {
        if (i == 7 + 1) return QColor(0xFF, 0x00, 0xFF);  // Dec 27, a neighbour: fuchsia
        if (i == 14) return QColor(0xFF, 0x00, 0x00);     // Sunday Jan 2, red
        if (i == 20) return QColor(0x00, 0x00, 0xFF);     // Saturday Jan 8, blue
        return std::nullopt;
    });
    // The selection (Thursday Jan 20: row 4, column 4) stands apart from the other days.
    const QColor selected = PixelAt(picture, cells[4 * 7 + 4].topLeft() + QPoint(1, 1));
    const QColor plain = PixelAt(picture, cells[4 * 7 + 3].topLeft() + QPoint(1, 1));
    EXPECT_GE(Ratio(selected, plain), High() ? kReadableContrast : 1.5);
    CheckMarks(cal.BackBuffer(), picture, cells, {1, 1}, 5);
}

TEST_P(DrawnContrast, WeekList) {
    TWeeklyCalendar cal, marked;
    for (TWeeklyCalendar* c : {&cal, &marked}) {
        StartLikeTheWindow(*c, c == &marked);
        c->SetBorderColor(clInfoText);
        const int frame = c->frameWidth() * 2;
        c->resize(360 + frame, 7 * 34 + frame);
        c->show();
    }
    const QImage picture = marked.BackBuffer();
    std::vector<QRect> rows;
    for (int row = 0; row < 7; ++row)
        rows.push_back(ToQRect(GridCellRect(0, row, 1, 7, cal.ClientWidth(), cal.ClientHeight())));
    // The background is read at the far end of the row, past the text.
    const QPoint corner(rows[0].width() - 3, rows[0].height() / 2);
    // The week of Sunday Jan 16 .. Saturday Jan 22, Jan 20 selected.
    CheckCells(picture, rows, corner, [](int i) -> std::optional<QColor> {
        if (i == 0) return QColor(0xFF, 0x00, 0x00);
        if (i == 6) return QColor(0x00, 0x00, 0xFF);
        if (i == 1) return QColor(0x00, 0x00, 0x00);
        return std::nullopt;
    });
    const QColor selected = PixelAt(picture, rows[4].topLeft() + corner);
    const QColor plain = PixelAt(picture, rows[3].topLeft() + corner);
    EXPECT_GE(Ratio(selected, plain), High() ? kReadableContrast : 1.5);
    CheckMarks(cal.BackBuffer(), picture, rows, corner, 2);
}

INSTANTIATE_TEST_SUITE_P(Schemes, DrawnContrast, ::testing::ValuesIn(kSchemes),
                         [](const testing::TestParamInfo<Scheme>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (c == ' ') c = '_';
                             return name;
                         });
