#include "calendar/cal_ex_text.h"

#include "platform/qt_fonts.h"

#include <QPainter>

#include <cstdint>
#include <utility>

std::size_t TCalExText::TextHash::operator()(const QString& text) const noexcept {
    std::uint64_t hash = 14695981039346656037ull;
    for (const QChar c : text) hash = (hash ^ c.unicode()) * 1099511628211ull;
    return static_cast<std::size_t>(hash);
}

void TCalExText::Forget() {
    qfonts_ = {};
    otherQFont_.reset();
    for (auto& texts : laidOut_) texts.clear();
    painterFontIndex_ = TCalExFonts::Count;
    painterFont_ = QFont();
}

int TCalExText::IndexOf(const TFont& font) const {
    int index = 0;
    while (index < TCalExFonts::Count && &font != &fonts_.Font(index)) ++index;
    return index;
}

const QFont& TCalExText::QFontOf(const TFont& font) {
    const int index = IndexOf(font);
    if (index == TCalExFonts::Count) {
        otherQFont_ = ToQFont(font);  // a font a descendant brought along
        return *otherQFont_;
    }
    if (!qfonts_[index]) qfonts_[index] = ToQFont(font);
    return *qfonts_[index];
}

void TCalExText::UseFont(QPainter& painter, int index) {
    // Anyone else setting a font gives the painter a font that is no copy of the one kept.
    if (index == painterFontIndex_ && painter.font().isCopyOf(painterFont_)) return;
    painter.setFont(QFontOf(fonts_.Font(index)));
    painterFont_ = painter.font();
    painterFontIndex_ = index;
}

const TCalExText::LaidOut& TCalExText::LaidOutText(QPainter& painter, int index, const QString& text) {
    auto& texts = laidOut_[index];
    auto it = texts.find(text);
    if (it != texts.end()) return it->second;
    if (texts.size() > 1000) texts.clear();  // the week list meets new names every week
    QStaticText laid(text);
    laid.setTextFormat(Qt::PlainText);
    laid.setPerformanceHint(QStaticText::AggressiveCaching);
    laid.prepare(QTransform(), painter.font());
    const QSizeF size = laid.size();
    return texts.emplace(text, LaidOut{std::move(laid), size}).first->second;
}

QRectF TCalExText::DrawLine(QPainter& painter, const QRect& rect, int flags, const QString& text, const TFont& font,
                          const QColor& color) {
    const int index = IndexOf(font);
    if (index == TCalExFonts::Count) {
        painter.setFont(QFontOf(font));
        painter.setPen(color);
        QRectF box;
        painter.drawText(QRectF(rect), flags | Qt::TextSingleLine, text, &box);
        return box;
    }
    UseFont(painter, index);
    // Setting a pen that shares its data with the painter's returns at once.
    if (pens_[index].color() != color) pens_[index] = QPen(color);
    painter.setPen(pens_[index]);
    const LaidOut& laid = LaidOutText(painter, index, text);
    const qreal x = (flags & Qt::AlignHCenter) ? rect.x() + (rect.width() - laid.Size.width()) / 2 : rect.x();
    const qreal y = rect.y() + (rect.height() - laid.Size.height()) / 2;
    const bool clip =
        !(flags & Qt::TextDontClip) && (laid.Size.width() > rect.width() || laid.Size.height() > rect.height());
    if (clip) painter.setClipRect(rect);
    painter.drawStaticText(QPointF(x, y), laid.Text);
    if (clip) painter.setClipping(false);
    return QRectF(QPointF(x, y), laid.Size);
}
