#pragma once
#include <QProxyStyle>

// The application's style, except that the menu bar's overflow arrows are loaded when
// first drawn instead of when the menu bar is made. Qt loads those pictures through its
// image reader, which opens every image format plug-in (and the libraries behind them)
// to find the one that reads PNG; a menu bar wide enough for its menus never shows them.
class TDeferredIconStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};
