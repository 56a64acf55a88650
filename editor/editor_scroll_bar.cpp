#include "editor/editor_scroll_bar.h"

#include <QStyle>
#include <QStyleOptionSlider>

TEditorScrollBar::TLook TEditorScrollBar::Look() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    return {style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this),
            value() == minimum(), value() == maximum()};
}

void TEditorScrollBar::sliderChange(SliderChange change) {
    const bool mayKeepLook = change == SliderRangeChange || change == SliderValueChange || change == SliderStepsChange;
    if (mayKeepLook && drawn_ && *drawn_ == Look()) return;
    QScrollBar::sliderChange(change);
}

void TEditorScrollBar::paintEvent(QPaintEvent* event) {
    drawn_ = Look();
    QScrollBar::paintEvent(event);
}
