#pragma once
// Notes the time of the user's last key press or input-method event anywhere in the
// program, for work on other threads that steps aside while the user types.
#include <QObject>

#include <atomic>
#include <cstdint>

class TTypingWatch : public QObject {
public:
    // Watches every event of the application from now on.
    explicit TTypingWatch(QObject* parent = nullptr);

    // Steady-clock milliseconds (SearchClockMs) of the last key or input-method event.
    const std::atomic<int64_t>& LastInput() const { return lastInput_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::atomic<int64_t> lastInput_{0};
};
