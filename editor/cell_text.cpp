#include "editor/cell_text.h"

#include "platform/qt_text.h"
#include "platform/sjis.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>

#include <array>
#include <vector>

namespace {

constexpr char16_t kUnknown = 0xFFFF;  // not looked up yet (U+FFFF is no character)

QChar Decode(std::string_view bytes) {
    QString s = SjisToQString(bytes);
    if (s.size() != 1 || s[0] == QChar(QChar::ReplacementCharacter)) return QChar(QChar::ReplacementCharacter);
    if (!s[0].isPrint()) return QChar(u' ');
    return s[0];
}

// Looked up once per code; iconv is far too slow to call per cell while painting.
QChar TableChar(unsigned code, std::string_view bytes) {
    static std::vector<char16_t> table(65536, kUnknown);
    char16_t& c = table[code];
    if (c == kUnknown) c = Decode(bytes).unicode();
    return QChar(c);
}

}  // namespace

QChar CellChar(std::string_view character) {
    if (character.empty()) return QChar(u' ');
    const auto b = static_cast<unsigned char>(character[0]);
    if (IsLeadByte(b)) {
        if (character.size() < 2) return QChar(QChar::ReplacementCharacter);
        const auto t = static_cast<unsigned char>(character[1]);
        return TableChar((unsigned(b) << 8) | t, character.substr(0, 2));
    }
    if (b < 0x20 || b == 0x7F) return QChar(u' ');
    if (b < 0x80) return QChar(char16_t(b));
    return TableChar(b, character.substr(0, 1));
}

void TCellText::Prepare(const QFont& font) {
    if (prepared_ && font == font_) return;
    font_ = font;
    raw_ = QRawFont::fromFont(font, QFontDatabase::Japanese);
    ascent_ = QFontMetrics(font).ascent();
    prepared_ = true;
}

int TCellText::Ascent(const QFont& font) {
    Prepare(font);
    return ascent_;
}

void TCellText::Draw(QPainter& painter, const QFont& font, int x, int top, int cellWidth, std::string_view bytes,
                     int firstCol, int lastCol) {
    Prepare(font);
    const int n = static_cast<int>(bytes.size());
    if (n == 0 || lastCol < firstCol) return;

    QString chars;
    std::vector<int> cols;
    chars.reserve(std::min(n, lastCol - firstCol + 2));
    cols.reserve(static_cast<size_t>(chars.capacity()));
    int i = 0;
    while (i < n && i <= lastCol) {
        const int len = IsLeadByte(static_cast<unsigned char>(bytes[static_cast<size_t>(i)])) ? 2 : 1;
        if (i + len - 1 >= firstCol) {
            chars.append(CellChar(bytes.substr(static_cast<size_t>(i), static_cast<size_t>(len))));
            cols.push_back(i);
        }
        i += len;
    }
    if (chars.isEmpty()) return;

    QList<quint32> glyphs(chars.size());
    int count = static_cast<int>(chars.size());
    if (raw_.isValid()) {
        raw_.glyphIndexesForChars(chars.constData(), static_cast<int>(chars.size()), glyphs.data(), &count);
    } else {
        std::fill(glyphs.begin(), glyphs.end(), 0);
    }
    if (count != chars.size()) {  // never for BMP text; fall back to one glyph lookup per char
        glyphs.fill(0);
    }

    const int baseline = top + ascent_;
    QList<quint32> runGlyphs;
    QList<QPointF> positions;
    runGlyphs.reserve(chars.size());
    positions.reserve(chars.size());
    for (qsizetype k = 0; k < chars.size(); ++k) {
        const int cx = x + cols[static_cast<size_t>(k)] * cellWidth;
        if (glyphs[k] != 0) {
            runGlyphs.append(glyphs[k]);
            positions.append(QPointF(cx, baseline));
        } else {
            // The primary face lacks this character: let Qt find one that has it.
            painter.setFont(font);
            painter.drawText(QPointF(cx, baseline), QString(chars[k]));
        }
    }
    if (!runGlyphs.isEmpty()) {
        QGlyphRun run;
        run.setRawFont(raw_);
        run.setGlyphIndexes(runGlyphs);
        run.setPositions(positions);
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
    if (font.underline() || font.strikeOut()) {
        // Lines run through whole cells, blanks included, as far as the drawn characters.
        const int left = x + cols.front() * cellWidth;
        const int right = x + std::min(i, n) * cellWidth;
        QFontMetrics fm(font);
        const int thickness = std::max(1, fm.lineWidth());
        if (font.underline())
            painter.fillRect(QRect(left, baseline + fm.underlinePos(), right - left, thickness), painter.pen().color());
        if (font.strikeOut())
            painter.fillRect(QRect(left, baseline - fm.strikeOutPos(), right - left, thickness), painter.pen().color());
    }
}
