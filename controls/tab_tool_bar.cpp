#include "controls/tab_tool_bar.h"

#include "controls/tab_tool_bar_accessible.h"

#include <QAccessible>

#include <QActionEvent>
#include <QMouseEvent>
#include <QLayout>
#include <QPainter>
#include <QStyle>

#include <algorithm>

TTabToolBar::TTabToolBar(QWidget* parent) : QToolBar(parent) {
    static const bool heard = (QAccessible::installFactory(TabToolBarAccessibleFactory), true);
    (void)heard;
    setMovable(false);
    setFloatable(false);
    setMouseTracking(true);
    lead_ = new QWidget(this);
    lead_->setAttribute(Qt::WA_TransparentForMouseEvents);
    leadAction_ = addWidget(lead_);
    savedSize_ = height();
    savedAutoSize_ = autoSize_;
    UpdateFrame();
}

void TTabToolBar::UpdateFrame() {
    // The tool bar's layout places its buttons from its own uniform margin and ignores
    // the widget's margins, so the frame is made of that margin (the edges' width) and
    // a blank leading item that keeps the buttons off the tab.
    int margin = edgeBorders_ ? 2 : 0;
    if (layout()) layout()->setContentsMargins(margin, margin, margin, margin);
    int spacing = this->style()->pixelMetric(QStyle::PM_ToolBarItemSpacing, nullptr, this);
    int lead = IsVertical() ? Edge(ebTop) : Edge(ebLeft);
    int room = std::max(0, lead + tabSizeMaximized_ + tabIndent_ - margin - spacing);
    lead_->setFixedSize(IsVertical() ? QSize(1, room) : QSize(room, 1));
    leadAction_->setVisible(showTab_ && maximized_);
    update();
}

void TTabToolBar::changeEvent(QEvent* event) {
    QToolBar::changeEvent(event);
    if (event->type() == QEvent::StyleChange) UpdateFrame();
}

void TTabToolBar::ApplyThickness(int thickness) {
    if (IsVertical())
        setFixedWidth(thickness);
    else
        setFixedHeight(thickness);
}

void TTabToolBar::ApplyAutoSize() {
    if (!autoSize_ || !maximized_) return;
    QSize hint = sizeHint();
    ApplyThickness(IsVertical() ? hint.width() : hint.height());
}

void TTabToolBar::SetMaximized(bool v) {
    if (v == maximized_) return;
    maximized_ = v;
    if (v) {
        for (QAction* a : hiddenActions_) a->setVisible(true);
        hiddenActions_.clear();
        UpdateFrame();
        ApplyThickness(savedSize_);
        autoSize_ = savedAutoSize_;
        ApplyAutoSize();
        if (OnMaximize) OnMaximize(this);
    } else {
        savedAutoSize_ = autoSize_;
        autoSize_ = false;
        savedSize_ = IsVertical() ? width() : height();
        // The collapsed bar has no room for buttons: they are put away, not squeezed.
        for (QAction* a : actions()) {
            if (a != leadAction_ && a->isVisible()) {
                hiddenActions_.append(a);
                a->setVisible(false);
            }
        }
        UpdateFrame();
        ApplyThickness(tabSizeMaximized_ + (IsVertical() ? Edge(ebLeft) + Edge(ebRight) : Edge(ebTop) + Edge(ebBottom)));
        if (OnRestore) OnRestore(this);
    }
}

void TTabToolBar::actionEvent(QActionEvent* event) {
    QToolBar::actionEvent(event);
    if (event->type() == QEvent::ActionAdded && !maximized_ && event->action()->isVisible()) {
        hiddenActions_.append(event->action());
        event->action()->setVisible(false);
    } else if (event->type() == QEvent::ActionRemoved) {
        hiddenActions_.removeAll(event->action());
    }
    if (event->type() != QEvent::ActionChanged) ApplyAutoSize();
}

int TTabToolBar::Height() const { return height(); }

void TTabToolBar::SetHeight(int h) {
    if (!maximized_ && !IsVertical())
        savedSize_ = h;
    else
        setFixedHeight(h);
}

int TTabToolBar::Width() const { return width(); }

void TTabToolBar::SetWidth(int w) {
    if (!maximized_ && IsVertical())
        savedSize_ = w;
    else
        setFixedWidth(w);
}

void TTabToolBar::SetAutoSize(bool v) {
    savedAutoSize_ = v;
    if (!maximized_) return;
    autoSize_ = v;
    ApplyAutoSize();
}

void TTabToolBar::SetShowTab(bool v) {
    if (v == showTab_) return;
    showTab_ = v;
    if (!v) SetTabHot(false);
    UpdateFrame();
}

void TTabToolBar::SetTabSizeMaximized(int v) {
    if (v == tabSizeMaximized_) return;
    tabSizeMaximized_ = v;
    if (!maximized_) ApplyThickness(v + (IsVertical() ? Edge(ebLeft) + Edge(ebRight) : Edge(ebTop) + Edge(ebBottom)));
    UpdateFrame();
}

namespace {

template <typename T>
bool Change(T& field, T value) {
    if (field == value) return false;
    field = value;
    return true;
}

}  // namespace

void TTabToolBar::SetTabSizeMinimized(int v) {
    if (Change(tabSizeMinimized_, v)) UpdateFrame();
}
void TTabToolBar::SetTabIndent(int v) {
    if (Change(tabIndent_, v)) UpdateFrame();
}
void TTabToolBar::SetTabColor(TColor c) {
    if (Change(tabColor_, c)) UpdateFrame();
}
void TTabToolBar::SetTabHighlightColor(TColor c) {
    if (Change(tabHighlightColor_, c)) UpdateFrame();
}
void TTabToolBar::SetArrowColor(TColor c) {
    if (Change(arrowColor_, c)) UpdateFrame();
}
void TTabToolBar::SetTextureColor1(TColor c) {
    if (Change(textureColor1_, c)) UpdateFrame();
}
void TTabToolBar::SetTextureColor2(TColor c) {
    if (Change(textureColor2_, c)) UpdateFrame();
}
void TTabToolBar::SetEdgeBorders(unsigned sides) {
    if (Change(edgeBorders_, sides)) UpdateFrame();
}

QRect TTabToolBar::TabRect() const {
    QRect r = rect().adjusted(Edge(ebLeft), Edge(ebTop), -Edge(ebRight), -Edge(ebBottom));
    int t = maximized_ ? tabSizeMaximized_ : tabSizeMinimized_;
    if (IsVertical())
        r.setHeight(t);
    else
        r.setWidth(t);
    return r;
}

void TTabToolBar::SetTabHot(bool hot) {
    if (hot == tabHot_) return;
    tabHot_ = hot;
    update(TabRect());
}

void TTabToolBar::mouseMoveEvent(QMouseEvent* event) {
    SetTabHot(PointInTab(event->position().toPoint()));
    QToolBar::mouseMoveEvent(event);
}

void TTabToolBar::leaveEvent(QEvent* event) {
    QToolBar::leaveEvent(event);
    SetTabHot(false);
}

void TTabToolBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        tabPressed_ = PointInTab(event->position().toPoint());
        if (tabPressed_) {
            event->accept();
            return;
        }
    }
    QToolBar::mousePressEvent(event);
}

void TTabToolBar::mouseReleaseEvent(QMouseEvent* event) {
    QToolBar::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) return;
    // Only a press that began on the tab and ends on it toggles.
    bool toggle = tabPressed_ && PointInTab(event->position().toPoint());
    tabPressed_ = false;
    if (toggle) SetMaximized(!maximized_);
}

void TTabToolBar::paintEvent(QPaintEvent* event) {
    QToolBar::paintEvent(event);
    QPainter p(this);
    PaintEdges(p);
    if (showTab_) PaintTab(p);
}
