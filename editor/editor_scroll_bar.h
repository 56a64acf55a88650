#pragma once
// The editor's scroll bars. A row added to a text of thousands of rows changes the bar's
// range but moves its thumb by no pixel, yet a stock bar draws itself again at every such
// change, which on an Enter costs as much as the rows the key changed. This bar repaints
// only when what it shows changes: the thumb's place and size, or an end reached or left.
#include <QScrollBar>

#include <optional>

class TEditorScrollBar : public QScrollBar {
public:
    TEditorScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent) {}

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct TLook {
        QRect thumb;
        bool atMinimum = false;
        bool atMaximum = false;
        bool operator==(const TLook&) const = default;
    };
    TLook Look() const;

    std::optional<TLook> drawn_;  // as last painted
};
