#pragma once
#include <QApplication>

// The application object. Every exception that escapes an event handler ends here: its
// message goes to the error box and the event loop goes on with the state reached so far.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the message of the exception in flight. An error raised while an error box
    // is already open (a repaint behind the box, say) is not shown again, so one fault
    // never turns into an endless series of boxes.
    static void ReportCurrentException();
};
