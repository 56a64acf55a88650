#pragma once
// A tool bar with a tab in its frame: a click on the tab collapses the bar to a thin strip
// (its buttons hidden) or expands it back to the size it had. The tab is drawn by the bar
// itself: a filled strip with an edge, a small triangle and a dotted grip, highlighted
// while the mouse is over it.
#include "platform/color.h"

#include <QList>
#include <QRect>
#include <QToolBar>

#include <functional>
#include <string>

class QAction;
class QPainter;

// The sides of the bar that carry a 2-pixel edge.
enum TEdgeBorder : unsigned { ebLeft = 1, ebTop = 2, ebRight = 4, ebBottom = 8 };

class TTabToolBar : public QToolBar {
public:
    explicit TTabToolBar(QWidget* parent = nullptr);

    bool Maximized() const { return maximized_; }
    void SetMaximized(bool v);
    bool ShowTab() const { return showTab_; }
    void SetShowTab(bool v);
    int TabSizeMaximized() const { return tabSizeMaximized_; }
    void SetTabSizeMaximized(int v);
    int TabSizeMinimized() const { return tabSizeMinimized_; }
    void SetTabSizeMinimized(int v);
    int TabIndent() const { return tabIndent_; }
    void SetTabIndent(int v);
    TColor TabColor() const { return tabColor_; }
    void SetTabColor(TColor c);
    TColor TabHighlightColor() const { return tabHighlightColor_; }
    void SetTabHighlightColor(TColor c);
    TColor ArrowColor() const { return arrowColor_; }
    void SetArrowColor(TColor c);
    TColor TextureColor1() const { return textureColor1_; }
    void SetTextureColor1(TColor c);
    TColor TextureColor2() const { return textureColor2_; }
    void SetTextureColor2(TColor c);
    unsigned EdgeBorders() const { return edgeBorders_; }
    void SetEdgeBorders(unsigned sides);

    // The bar's size. While a horizontal bar is collapsed, a new height is kept for
    // expanding (a vertical bar does the same with its width).
    int Height() const;
    void SetHeight(int h);
    int Width() const;
    void SetWidth(int w);
    // The thickness follows the buttons; kept aside while collapsed.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    // The expanded thickness and AutoSize, kept while collapsed: what is worth keeping
    // of the bar's size in any state.
    int SavedSize() const { return maximized_ ? (IsVertical() ? width() : height()) : savedSize_; }
    bool SavedAutoSize() const { return maximized_ ? autoSize_ : savedAutoSize_; }

    std::string Version() const { return "TTabToolBar v1.01"; }
    void SetVersion(const std::string&) {}

    std::function<void(TTabToolBar* sender)> OnMaximize;
    std::function<void(TTabToolBar* sender)> OnRestore;

    // The tab in the bar's own coordinates (right and bottom exclusive, as QRect::contains
    // treats them).
    QRect TabRect() const;
    bool PointInTab(QPoint p) const { return showTab_ && TabRect().contains(p); }
    bool TabHot() const { return tabHot_; }
    bool IsVertical() const { return orientation() == Qt::Vertical; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void actionEvent(QActionEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int Edge(unsigned side) const { return (edgeBorders_ & side) ? 2 : 0; }
    // The frame: edges plus the tab strip; the buttons live inside it.
    void UpdateFrame();
    void ApplyThickness(int thickness);
    void ApplyAutoSize();
    void SetTabHot(bool hot);
    void PaintEdges(QPainter& p) const;
    void PaintTab(QPainter& p) const;

    bool maximized_ = true;
    bool showTab_ = true;
    int tabSizeMaximized_ = 10;
    int tabSizeMinimized_ = 62;
    int tabIndent_ = 4;
    TColor tabColor_ = clBtnFace;
    TColor tabHighlightColor_ = 16764879;
    TColor arrowColor_ = clNavy;
    TColor textureColor1_ = clWhite;
    TColor textureColor2_ = clNavy;
    unsigned edgeBorders_ = 0;

    int savedSize_ = 0;
    bool autoSize_ = false;
    bool savedAutoSize_ = false;
    bool tabHot_ = false;
    bool tabPressed_ = false;
    QList<QAction*> hiddenActions_;  // the buttons put away while collapsed
    QWidget* lead_ = nullptr;        // the blank room over which the tab is drawn
    QAction* leadAction_ = nullptr;
};
