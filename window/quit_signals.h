#pragma once
// SIGTERM and SIGHUP (a shutdown, a closed terminal, `kill`) ask the program to end. The
// handler only writes the signal's number to a pipe; the event loop reads it, runs
// `beforeEnd`, and the process then ends by the same signal, as it would have without it.
#include <QObject>

#include <functional>
#include <initializer_list>

class QSocketNotifier;

class TQuitSignals : public QObject {
public:
    TQuitSignals(std::initializer_list<int> quitSignals, std::function<void()> beforeEnd);
    ~TQuitSignals() override;

private:
    void Arrived();

    std::function<void()> beforeEnd_;
    QSocketNotifier* notifier_ = nullptr;
};
