#include "platform/deferred_icon_engine.h"
#include "platform/deferred_icon_style.h"

#include <QImage>
#include <QMenuBar>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>

namespace {

QImage Drawn(const QIcon& icon, QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    icon.paint(&painter, QRect(QPoint(0, 0), size));
    return image;
}

}  // namespace

TEST(DeferredIcon, IsMadeOnceWhenFirstWantedAndDrawsTheSame) {
    QPixmap red(16, 16);
    red.fill(Qt::red);
    int made = 0;
    QIcon icon(new TDeferredIconEngine([&] {
        ++made;
        return QIcon(red);
    }));
    EXPECT_FALSE(icon.isNull());
    QIcon copy = icon;
    EXPECT_EQ(made, 0);

    EXPECT_EQ(Drawn(icon, {16, 16}).pixelColor(8, 8), QColor(Qt::red));
    EXPECT_EQ(icon.actualSize({32, 32}), QSize(16, 16));
    EXPECT_EQ(icon.pixmap(16, 16).toImage().pixelColor(3, 3), QColor(Qt::red));
    EXPECT_EQ(made, 1);
    EXPECT_EQ(Drawn(copy, {16, 16}).pixelColor(0, 0), QColor(Qt::red));
}

TEST(DeferredIconStyle, OverflowArrowsMatchTheBaseStyleAndOthersPassThrough) {
    const QString name = QStyleFactory::keys().value(0);
    auto style = std::make_unique<TDeferredIconStyle>(QStyleFactory::create(name));
    std::unique_ptr<QStyle> plain(QStyleFactory::create(name));
    for (QStyle::StandardPixmap sp :
         {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton,
          QStyle::SP_MessageBoxWarning}) {
        const QImage ours = Drawn(style->standardIcon(sp), {16, 16});
        const QImage theirs = Drawn(plain->standardIcon(sp), {16, 16});
        EXPECT_EQ(ours, theirs) << sp;
    }
    // The picture follows the text direction it was asked for, also when drawn later.
    QStyleOption rtl;
    rtl.direction = Qt::RightToLeft;
    EXPECT_EQ(Drawn(style->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, &rtl), {16, 16}),
              Drawn(plain->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, &rtl), {16, 16}));
}

TEST(DeferredIconStyle, ANarrowMenuBarStillShowsItsOverflowArrow) {
    // A widget does not own the style it is given; the style must outlive the bar.
    TDeferredIconStyle style(QStyleFactory::create(QStyleFactory::keys().value(0)));
    QMenuBar bar;
    bar.setStyle(&style);
    for (int i = 0; i < 12; ++i) bar.addMenu(QStringLiteral("Menu %1").arg(i));
    bar.resize(120, 30);
    bar.show();
    QToolButton* arrow = bar.findChild<QToolButton*>();
    ASSERT_NE(arrow, nullptr);
    EXPECT_TRUE(arrow->isVisible());
    EXPECT_FALSE(arrow->icon().pixmap(16, 16).isNull());
}
