#include "platform/font_warm_up.h"

#include <QFontDatabase>
#include <QFontMetrics>

#include <fontconfig/fontconfig.h>

TFontWarmUp::TFontWarmUp() : config_([] { FcInit(); }) {}

void TFontWarmUp::Fill(QList<QFont> fonts) {
    if (database_.joinable()) return;
    database_ = std::thread([this, fonts = std::move(fonts)] {
        // Qt would read the configuration itself, a second time, if asked before it is read.
        config_.join();
        QFontDatabase::families();
        // Qt keeps fallbacks per family and writing system: digits, kanji, hiragana and
        // katakana each count.
        for (const QFont& font : fonts) QFontMetrics(font).horizontalAdvance(QString::fromUtf8("0年あア"));
    });
}

TFontWarmUp::~TFontWarmUp() {
    if (database_.joinable()) database_.join();
    if (config_.joinable()) config_.join();
}
