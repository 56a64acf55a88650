// The font choice: what it offers and what it lets through.
#include "platform/font_choice_dialog.h"
#include "platform/qt_text.h"
#include "platform/sjis.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TFontDialogOptions CalendarOptions() {
    TFontDialogOptions o;
    o.MinSize = 9;
    o.MaxSize = 15;
    o.FixedPitchOnly = true;
    o.Effects = true;
    return o;
}

QStringList Offered(const TFontChoiceDialog& d) {
    QStringList faces;
    for (int i = 0; i < d.FaceList->count(); ++i) faces << d.FaceList->item(i)->text();
    return faces;
}

// The name under which the font database lists an installed face.
QString Installed(const char* family) { return QFontInfo(QFont(QString::fromLatin1(family))).family(); }

TEST(FontChoiceDialog, OffersOnlyFixedPitchFaces) {
    TFont initial;  // ＭＳ Ｐゴシック: a proportional face
    TFontChoiceDialog d(initial, CalendarOptions());
    const QStringList faces = Offered(d);
    EXPECT_TRUE(faces.contains(U8("ＭＳ ゴシック")));
    EXPECT_TRUE(faces.contains(Installed("IPAGothic")));
    EXPECT_FALSE(faces.contains(U8("ＭＳ Ｐゴシック")));
    EXPECT_FALSE(faces.contains(Installed("IPAPGothic")));
    EXPECT_FALSE(faces.contains("Sans Serif"));
    for (const QString& face : faces) EXPECT_TRUE(IsFixedPitchFace(face)) << face.toStdString();
    // The proportional starting face is not selected, so OK waits for a real choice.
    EXPECT_EQ(d.FaceList->currentItem(), nullptr);
    EXPECT_FALSE(d.OkButton->isEnabled());

    TFontDialogOptions any;
    EXPECT_TRUE(OfferedFaces(any.FixedPitchOnly).contains(U8("ＭＳ Ｐゴシック")));
}

TEST(FontChoiceDialog, SizeStaysWithinItsRange) {
    TFont initial;
    initial.SetName(Sjis("ＭＳ ゴシック"));
    initial.SetSize(40);
    TFontChoiceDialog d(initial, CalendarOptions());
    EXPECT_EQ(d.SizeBox->value(), 15);
    QTest::keyClick(d.SizeBox, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(d.SizeBox, "40");
    d.SizeBox->interpretText();
    EXPECT_LE(d.SizeBox->value(), 15);
    d.SizeBox->setValue(3);
    EXPECT_EQ(d.SizeBox->value(), 9);
    EXPECT_EQ(d.Font().Size(), 9);
}

TEST(FontChoiceDialog, ResultCarriesFaceSizeStyleAndEffects) {
    TFont initial;
    initial.SetName(Sjis("ＭＳ ゴシック"));
    initial.SetCharset(SHIFTJIS_CHARSET);
    TFontChoiceDialog d(initial, CalendarOptions());
    ASSERT_NE(d.FaceList->currentItem(), nullptr);
    EXPECT_TRUE(d.OkButton->isEnabled());
    d.SizeBox->setValue(12);
    d.StyleBox->setCurrentIndex(3);  // bold italic
    d.UnderlineBox->setChecked(true);
    d.StrikeOutBox->setChecked(true);
    d.ColorBox->setCurrentIndex(d.ColorBox->findText(U8("赤")));
    const TFont f = d.Font();
    EXPECT_EQ(f.Name(), Sjis("ＭＳ ゴシック"));
    EXPECT_EQ(f.Height(), -16);
    EXPECT_EQ(f.Style(), fsBold | fsItalic | fsUnderline | fsStrikeOut);
    EXPECT_EQ(f.Color(), clRed);
    EXPECT_EQ(f.Charset(), SHIFTJIS_CHARSET);
}

TEST(FontChoiceDialog, StartingColourOutsideTheSixteenIsKept) {
    TFont initial;  // the system's text colour
    initial.SetName(Sjis("ＭＳ ゴシック"));
    TFontChoiceDialog d(initial, CalendarOptions());
    EXPECT_EQ(d.Font().Color(), clWindowText);
    EXPECT_EQ(d.ColorBox->count(), 17);
}

}  // namespace
