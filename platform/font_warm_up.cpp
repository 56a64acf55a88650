#include "platform/font_warm_up.h"

#include <QFontDatabase>
#include <QStringList>

#include <fontconfig/fontconfig.h>

TFontWarmUp::TFontWarmUp() : config_([] { FcInit(); }) {}

void TFontWarmUp::Fill() {
    if (database_.joinable()) return;
    // Fontconfig does not wait for a set-up already in progress: the window's first font
    // on this thread would read the whole configuration a second time. Building the
    // application object has overlapped most of the reading by now.
    if (config_.joinable()) config_.join();
    database_ = std::thread([] {
        // Looking fonts up here as well was measured to delay the window: Qt's lock on the
        // database then keeps it waiting for lookups it does not need yet.
        QFontDatabase::families();
    });
}

TFontWarmUp::~TFontWarmUp() {
    if (database_.joinable()) database_.join();
    if (config_.joinable()) config_.join();
}
