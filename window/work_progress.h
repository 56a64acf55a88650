#pragma once
// Progress of a long print or export: the window appears only once the work has taken
// about a second, and its stop button ends the work.
#include <QProgressDialog>

#include <algorithm>
#include <cstddef>

class TWorkProgress {
public:
    TWorkProgress(QWidget* parent, const char* label)
        : dialog_(QString::fromUtf8(label), QString::fromUtf8("中止"), 0, 1, parent) {
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(1000);
    }
    // False once the user has stopped the work.
    bool operator()(size_t done, size_t total) {
        dialog_.setMaximum(static_cast<int>(std::max<size_t>(total, 1)));
        dialog_.setValue(static_cast<int>(std::min(done, total)));
        return !dialog_.wasCanceled();
    }
    bool Stopped() const { return dialog_.wasCanceled(); }

private:
    QProgressDialog dialog_;
};
