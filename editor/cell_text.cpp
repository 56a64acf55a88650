#include "editor/cell_text.h"

#include "platform/extra_chars.h"
#include "platform/grapheme.h"
#include "platform/qt_fonts.h"
#include "platform/qt_text.h"
#include "platform/sjis.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>

#include <array>
#include <vector>

namespace {

constexpr char16_t kUnknown = 0xFFFF;  // not looked up yet (U+FFFF is no character)
constexpr size_t kShapeFonts = 4;      // fonts whose shaped clusters are kept

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

namespace {

// The layout's text on one line, however wide.
void LayOutOneLine(QTextLayout& layout) {
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e6);
    layout.endLayout();
}

}  // namespace

const TCellText::TShaped& TCellText::Shaped(const QFont& font, int cellWidth, const std::string& utf8) {
    auto cache = std::find_if(shapes_.begin(), shapes_.end(), [&](const TShapeCache& c) {
        return c.cellWidth == cellWidth && c.font == font;
    });
    if (cache == shapes_.end()) {
        if (shapes_.size() >= kShapeFonts) shapes_.erase(shapes_.begin());
        shapes_.push_back({font, cellWidth, {}});
        cache = shapes_.end() - 1;
    }
    auto found = cache->clusters.find(utf8);
    if (found != cache->clusters.end()) return found->second;

    // A byte of a UTF-8 file that forms no character shows as CP932's broken bytes do.
    const QString text = IsRawByteCluster(utf8) ? QString(QChar(QChar::ReplacementCharacter))
                                                : QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    QFont f = WithFallbackFaces(font, ShowsAsEmoji(utf8));
    auto shape = [&](const QFont& face) {
        QTextLayout layout(text, face);
        LayOutOneLine(layout);
        const QTextLine line = layout.lineAt(0);
        return TShaped{layout.glyphRuns(), line.ascent(), line.naturalTextWidth()};
    };
    TShaped shaped = shape(f);
    // A cluster wider than its two cells (an emoji picture is wider than a kanji) is drawn
    // smaller, so it never covers its neighbours.
    const qreal cells = 2.0 * cellWidth;
    if (shaped.width > cells) {
        const int px = QFontInfo(f).pixelSize();
        f.setPixelSize(std::max(1, static_cast<int>(px * cells / shaped.width)));
        shaped = shape(f);
    }
    return cache->clusters.emplace(utf8, std::move(shaped)).first->second;
}

void TCellText::DrawCluster(QPainter& painter, const QFont& font, int cx, int top, int cellWidth,
                            const std::string& utf8) {
    const TShaped& s = Shaped(font, cellWidth, utf8);
    // A narrow cluster (é) stands in the middle of its two cells.
    const qreal dx = std::max<qreal>(0, (2.0 * cellWidth - s.width) / 2);
    const QPointF at(cx + dx, top + ascent_ - s.ascent);
    for (const QGlyphRun& run : s.runs) painter.drawGlyphRun(at, run);
}

void TCellText::Draw(QPainter& painter, const QFont& font, int x, int top, int cellWidth, std::string_view bytes,
                     int firstCol, int lastCol, const TExtraChars* extra) {
    Prepare(font);
    const int n = static_cast<int>(bytes.size());
    if (n == 0 || lastCol < firstCol) return;

    QString chars;
    std::vector<int> cols;
    std::vector<std::pair<int, const std::string*>> clusters;  // (column, UTF-8) of extra codes
    chars.reserve(std::min(n, lastCol - firstCol + 2));
    cols.reserve(static_cast<size_t>(chars.capacity()));
    int first = -1;
    int i = 0;
    while (i < n && i <= lastCol) {
        const auto b = static_cast<unsigned char>(bytes[static_cast<size_t>(i)]);
        const int len = IsLeadByte(b) ? 2 : 1;
        if (i + len - 1 >= firstCol) {
            if (first < 0) first = i;
            const std::string* cluster =
                extra && len == 2 && i + 1 < n ? extra->Cluster(b, static_cast<unsigned char>(bytes[static_cast<size_t>(i) + 1]))
                                               : nullptr;
            if (cluster) {
                clusters.emplace_back(i, cluster);
            } else {
                chars.append(CellChar(bytes.substr(static_cast<size_t>(i), static_cast<size_t>(len))));
                cols.push_back(i);
            }
        }
        i += len;
    }
    if (first < 0) return;
    const int baseline = top + ascent_;
    for (const auto& [col, utf8] : clusters) DrawCluster(painter, font, x + col * cellWidth, top, cellWidth, *utf8);
    if (!chars.isEmpty()) DrawChars(painter, font, x, baseline, cellWidth, chars, cols);
    if (font.underline() || font.strikeOut()) {
        // Lines run through whole cells, blanks included, as far as the drawn characters.
        const int left = x + first * cellWidth;
        const int right = x + std::min(i, n) * cellWidth;
        QFontMetrics fm(font);
        const int thickness = std::max(1, fm.lineWidth());
        if (font.underline())
            painter.fillRect(QRect(left, baseline + fm.underlinePos(), right - left, thickness), painter.pen().color());
        if (font.strikeOut())
            painter.fillRect(QRect(left, baseline - fm.strikeOutPos(), right - left, thickness), painter.pen().color());
    }
}

void TCellText::DrawChars(QPainter& painter, const QFont& font, int x, int baseline, int cellWidth,
                          const QString& chars, const std::vector<int>& cols) {
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
}
