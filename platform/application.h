#pragma once
#include <QApplication>

#include <exception>

// The application object. Handlers catch their own errors (platform/handler_guard.h); an
// exception that still reaches the event loop ends here as a last resort: its message goes
// to the error box, a warning names the receiver whose handler let it escape, and the
// event loop goes on with the state reached so far.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the message of the exception in the error box. An error raised while an error
    // box is already open (a repaint behind the box, say) is not shown again, so one fault
    // never turns into an endless series of boxes.
    static void ReportException(std::exception_ptr error);
    // The same for the exception in flight.
    static void ReportCurrentException();
};
