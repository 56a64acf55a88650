#include "platform/deferred_icon_style.h"

#include "platform/deferred_icon_engine.h"

#include <QGuiApplication>
#include <QPointer>
#include <QStyleOption>
#include <QWidget>

QIcon TDeferredIconStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const {
    if (icon != SP_ToolBarHorizontalExtensionButton && icon != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(icon, option, widget);
    // The arrow points by the text direction, so that is kept; the option and the widget may
    // be gone by the time the picture is wanted.
    QStyleOption kept;
    kept.direction = option ? option->direction
                            : widget ? widget->layoutDirection() : QGuiApplication::layoutDirection();
    QPointer<QStyle> base(baseStyle());
    return QIcon(new TDeferredIconEngine([base, icon, kept] {
        return base ? base->standardIcon(icon, &kept, nullptr) : QIcon();
    }));
}
