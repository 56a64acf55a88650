#include "platform/font_warm_up.h"

#include <QFontDatabase>
#include <QStringList>

#include <fontconfig/fontconfig.h>

TFontWarmUp::TFontWarmUp() : config_([] { FcInit(); }) {}

void TFontWarmUp::Fill() {
    if (database_.joinable()) return;
    database_ = std::thread([this] {
        // Qt would read the configuration itself, a second time, if asked before it is read.
        config_.join();
        // Looking fonts up here as well was measured to delay the window: Qt's lock on the
        // database then keeps it waiting for lookups it does not need yet.
        QFontDatabase::families();
    });
}

TFontWarmUp::~TFontWarmUp() {
    if (database_.joinable()) database_.join();
    if (config_.joinable()) config_.join();
}
