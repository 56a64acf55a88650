#pragma once
// CP932 bytes ⇄ QString, for the edges where Qt draws or hands over text.
#include <QString>

#include <optional>
#include <string>
#include <string_view>

QString SjisToQString(std::string_view sjis);

// Empty when the text holds a character that CP932 cannot represent.
std::optional<std::string> QStringToSjis(const QString& text);

// For the program's UTF-8 literals.
inline QString U8(const char* utf8) { return QString::fromUtf8(utf8); }
