#include "platform/qt_fonts.h"

#include "platform/qt_text.h"

#include <QStringList>
#include <cmath>

namespace {

const char* const kSubstitutions[][2] = {
    {"ＭＳ ゴシック", "IPAGothic"},    {"ＭＳ Ｐゴシック", "IPAPGothic"},
    {"ＭＳ 明朝", "IPAMincho"},        {"ＭＳ Ｐ明朝", "IPAPMincho"},
    {"MS UI Gothic", "IPAPGothic"},    {"MS Gothic", "IPAGothic"},
    {"MS PGothic", "IPAPGothic"},      {"MS Mincho", "IPAMincho"},
    {"MS PMincho", "IPAPMincho"},
};

}  // namespace

QStringList SubstitutedFaces() {
    QStringList faces;
    for (const auto& p : kSubstitutions) faces << QString::fromUtf8(p[0]);
    return faces;
}

void InstallFaceSubstitutions() {
    for (const auto& p : kSubstitutions) {
        QStringList targets{QString::fromLatin1(p[1]), QStringLiteral("IPAexGothic"), QStringLiteral("Noto Sans CJK JP")};
        QFont::insertSubstitutions(QString::fromUtf8(p[0]), targets);
    }
}

QFont ToQFont(const TFont& font) {
    QString face = SjisToQString(font.Name());
    if (face.startsWith(QLatin1Char('@'))) face.remove(0, 1);
    // A Windows face is asked for by the face that stands in for it: asked for by its own
    // name, it would cost a second search of the fallback faces for every script drawn.
    for (const auto& p : kSubstitutions)
        if (face == QString::fromUtf8(p[0])) face = QString::fromLatin1(p[1]);
    QFont f(face);
    if (font.Height() < 0)
        f.setPixelSize(-font.Height());
    else if (font.Height() > 0)
        f.setPixelSize(font.Height());
    f.setBold(font.Style() & fsBold);
    f.setItalic(font.Style() & fsItalic);
    f.setUnderline(font.Style() & fsUnderline);
    f.setStrikeOut(font.Style() & fsStrikeOut);
    return f;
}

void AssignQFont(TFont& target, const QFont& font) {
    TFont next(target);
    if (auto name = QStringToSjis(font.family())) next.SetName(*name);
    if (font.pixelSize() > 0)
        next.SetHeight(-font.pixelSize());
    else if (font.pointSizeF() > 0)
        next.SetSize(static_cast<int>(std::lround(font.pointSizeF())));
    TFontStyles style = 0;
    if (font.bold()) style |= fsBold;
    if (font.italic()) style |= fsItalic;
    if (font.underline()) style |= fsUnderline;
    if (font.strikeOut()) style |= fsStrikeOut;
    next.SetStyle(style);
    target.Assign(next);
}

QFont WithFallbackFaces(const QFont& font, bool emoji) {
    // fonts-hanazono holds the extension planes, fonts-noto-color-emoji the emoji.
    static const QStringList kBehind{QStringLiteral("HanaMinA"), QStringLiteral("HanaMinB"),
                                     QStringLiteral("DejaVu Sans")};
    static const QString kEmoji = QStringLiteral("Noto Color Emoji");
    QStringList families = font.families();
    if (families.isEmpty()) families << font.family();
    if (emoji) families.prepend(kEmoji);
    families << kBehind;
    if (!emoji) families << kEmoji;
    QFont f = font;
    f.setFamilies(families);
    return f;
}
