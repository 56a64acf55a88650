// The font choice: what it offers and what it lets through.
#include "platform/font_choice_dialog.h"
#include "platform/qt_fonts.h"
#include "platform/qt_text.h"
#include "platform/sjis.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
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
    EXPECT_TRUE(faces.contains(Installed("IPAGothic")));
    EXPECT_FALSE(faces.contains(U8("ＭＳ Ｐゴシック")));
    EXPECT_FALSE(faces.contains(Installed("IPAPGothic")));
    EXPECT_FALSE(faces.contains("Sans Serif"));
    for (const QString& face : faces) EXPECT_TRUE(IsFixedPitchFace(face)) << face.toStdString();
    // The proportional starting face is not selected, so OK waits for a real choice.
    EXPECT_EQ(d.FaceList->currentItem(), nullptr);
    EXPECT_FALSE(d.OkButton->isEnabled());

}

// Each face once, under the name it is installed by: the Windows names the settings keep
// draw with an installed face and are no face of their own.
TEST(FontChoiceDialog, ListsEachFaceOnceUnderItsOwnName) {
    for (bool fixedPitchOnly : {false, true}) {
        const QStringList faces = OfferedFaces(fixedPitchOnly);
        ASSERT_FALSE(faces.isEmpty());
        QSet<QString> drawn;
        for (const QString& face : faces) {
            const QString family = QFontInfo(QFont(face)).family();
            EXPECT_EQ(family, face) << "listed under another name: " << face.toStdString();
            EXPECT_FALSE(drawn.contains(family)) << "listed twice: " << family.toStdString();
            drawn.insert(family);
        }
        for (const QString& alias : SubstitutedFaces()) EXPECT_FALSE(faces.contains(alias)) << alias.toStdString();
    }
    EXPECT_TRUE(OfferedFaces(false).contains(Installed("IPAPGothic")));
}

// A name kept in the settings selects the face it draws with, and stays the stored name
// until the user picks another face.
TEST(FontChoiceDialog, StoredNameSelectsTheFaceItStandsFor) {
    struct Case {
        const char* stored;
        bool fixedPitchOnly;
        const char* selected;  // installed face, or nullptr for no selection
    };
    const Case cases[] = {
        {"ＭＳ ゴシック", true, "IPAGothic"},     {"MS Gothic", true, "IPAGothic"},
        {"ＭＳ Ｐゴシック", false, "IPAPGothic"}, {"MS UI Gothic", false, "IPAPGothic"},
        {"ＭＳ 明朝", false, "IPAMincho"},        {"@ＭＳ ゴシック", false, "IPAGothic"},
        {"IPAGothic", true, "IPAGothic"},         {"ＭＳ Ｐ明朝", true, nullptr},
        {"存在しない書体", false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        TFont initial;
        initial.SetName(Sjis(c.stored));
        TFontDialogOptions options = CalendarOptions();
        options.FixedPitchOnly = c.fixedPitchOnly;
        TFontChoiceDialog d(initial, options);
        if (!c.selected) {
            EXPECT_EQ(d.FaceList->currentItem(), nullptr);
            continue;
        }
        ASSERT_NE(d.FaceList->currentItem(), nullptr);
        EXPECT_EQ(d.FaceList->currentItem()->text(), Installed(c.selected));
        EXPECT_EQ(d.Font().Name(), Sjis(c.stored));
        const int other = d.FaceList->currentRow() == 0 ? 1 : 0;
        ASSERT_GT(d.FaceList->count(), other);
        d.FaceList->setCurrentRow(other);
        EXPECT_EQ(SjisToQString(d.Font().Name()), d.FaceList->item(other)->text());
    }
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
