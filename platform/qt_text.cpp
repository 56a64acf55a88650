#include "platform/qt_text.h"

#include "platform/exceptions.h"
#include "platform/sjis.h"

QString SjisToQString(std::string_view sjis) {
    std::string utf8 = SjisToUtf8(sjis);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::optional<std::string> QStringToSjis(const QString& text) {
    QByteArray utf8 = text.toUtf8();
    try {
        return Utf8ToSjis(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
    } catch (const EEncodingError&) {
        return std::nullopt;
    }
}
