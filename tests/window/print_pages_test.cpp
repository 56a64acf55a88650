// The page set-up that printing and the PDF export share.
#include "window/print_pages.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPdfWriter>
#include <gtest/gtest.h>

// The diary's margins on any device: 15 mm, or the printer's unprintable edge where wider.
TEST(DiaryPageMargins, FifteenMillimetresOrThePrintersEdge) {
    struct Case {
        QMarginsF least, expected;
    } cases[] = {
        {{0, 0, 0, 0}, {15, 15, 15, 15}},
        {{3.5, 3.5, 3.5, 3.5}, {15, 15, 15, 15}},
        {{20, 4, 15, 25}, {20, 15, 15, 25}},
    };
    for (const Case& c : cases) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape, c.least,
                                         QPageLayout::Millimeter, c.least));
        SetDiaryPageMargins(writer);
        const QPageLayout got = writer.pageLayout();
        EXPECT_EQ(got.margins(QPageLayout::Millimeter), c.expected) << c.least.left();
        EXPECT_EQ(got.pageSize().id(), QPageSize::A5);
        EXPECT_EQ(got.orientation(), QPageLayout::Landscape);
    }
}
