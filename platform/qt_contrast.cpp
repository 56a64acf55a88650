#include "platform/qt_contrast.h"

#include "platform/contrast.h"
#include "platform/qt_colors.h"

#include <QApplication>

#include <array>
#include <optional>

namespace {

// The setting as given, read once: "on"/"dark"/"light" force the scheme, "off" rules it
// out, anything else leaves it to the palette.
std::optional<bool> Forced() {
    static const std::optional<bool> forced = []() -> std::optional<bool> {
        const QByteArray value = qgetenv("MEKURI_HIGH_CONTRAST").trimmed().toLower();
        if (value == "on" || value == "1" || value == "dark" || value == "light") return true;
        if (value == "off" || value == "0") return false;
        return std::nullopt;
    }();
    return forced;
}

bool SchemeOf(const QPalette& p) {
    auto pair = [&p](QPalette::ColorRole text, QPalette::ColorRole background) {
        return TColorPair{FromQColor(p.color(text)), FromQColor(p.color(background))};
    };
    const std::array<TColorPair, 5> pairs = {
        pair(QPalette::WindowText, QPalette::Window),         pair(QPalette::Text, QPalette::Base),
        pair(QPalette::ButtonText, QPalette::Button),         pair(QPalette::HighlightedText, QPalette::Highlight),
        pair(QPalette::ToolTipText, QPalette::ToolTipBase),
    };
    return IsHighContrastScheme(pairs);
}

}  // namespace

bool HighContrastScheme() {
    if (const std::optional<bool> forced = Forced()) return *forced;
    // Asked for every picture: the answer is kept until the palette changes.
    static qint64 key = -1;
    static bool high = false;
    const QPalette palette = QGuiApplication::palette();
    if (palette.cacheKey() != key) {
        key = palette.cacheKey();
        high = SchemeOf(palette);
    }
    return high;
}

QColor ReadableColor(const QColor& color, const QColor& background) {
    if (!HighContrastScheme()) return color;
    const TColor rgb = FromQColor(color), back = FromQColor(background);
    if (ContrastRatio(rgb, back) >= kReadableContrast) return color;
    // A grey has no hue to keep: rather than the dimmest grey that passes, it takes the
    // scheme's own text colour where that reads on this background.
    if (color.red() == color.green() && color.green() == color.blue()) {
        const QColor text = QGuiApplication::palette().color(QPalette::Text);
        if (ContrastRatio(FromQColor(text), back) >= kReadableContrast) return text;
    }
    return ToQColor(Readable(rgb, back));
}

QPalette HighContrastPalette(bool dark) {
    const QColor text = dark ? Qt::white : Qt::black, back = dark ? Qt::black : Qt::white;
    const QColor highlight = dark ? QColor(0xFF, 0xFF, 0x00) : QColor(0x00, 0x00, 0x80);
    const QColor highlighted = dark ? Qt::black : Qt::white;
    const QColor muted = dark ? QColor(0xB0, 0xB0, 0xB0) : QColor(0x50, 0x50, 0x50);
    QPalette p(text, back, text, text, muted, text, text, back, back);
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, highlighted);
    p.setColor(QPalette::ToolTipBase, back);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, muted);
    p.setColor(QPalette::Link, dark ? QColor(0x80, 0xC0, 0xFF) : QColor(0x00, 0x00, 0xC0));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, muted);
    return p;
}

void UseHighContrastSetting() {
    const QByteArray value = qgetenv("MEKURI_HIGH_CONTRAST").trimmed().toLower();
    if (value == "dark" || value == "light") QApplication::setPalette(HighContrastPalette(value == "dark"));
}
