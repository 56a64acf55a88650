#include "platform/deferred_icon_engine.h"

const QIcon& TDeferredIconEngine::Icon() {
    if (!icon_) icon_ = make_();
    return *icon_;
}

void TDeferredIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) {
    Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
}

QPixmap TDeferredIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    return Icon().pixmap(size, mode, state);
}

QPixmap TDeferredIconEngine::scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) {
    return Icon().pixmap(size, scale, mode, state);
}

QSize TDeferredIconEngine::actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    return Icon().actualSize(size, mode, state);
}

QList<QSize> TDeferredIconEngine::availableSizes(QIcon::Mode mode, QIcon::State state) {
    return Icon().availableSizes(mode, state);
}

QIconEngine* TDeferredIconEngine::clone() const {
    auto* copy = new TDeferredIconEngine(make_);
    copy->icon_ = icon_;
    return copy;
}
