#pragma once
// Guarded(handler): the one wrapper for every handler the program connects, to a Qt
// signal or to a component's On... event:
//
//     connect(action, &QAction::triggered, this, Guarded([this] { Close1Click(); }));
//     MonthlyCalendar1->OnDayChange = Guarded([this](auto... a) { MonthlyCalendar1DayChange(a...); });
//
// An error the handler raises stops at the handler's edge instead of unwinding through
// Qt's event dispatch, which Qt does not support (its frames leak what they hold, or
// worse). The handler's work stops where the error struck, as every error does here;
// whoever raised the event goes on, and may ask HandlerFailed() to stop early (an arrow
// held down, say). The message goes to the application's error box once the event that
// ran the handler has been delivered (or, outside any event, once the outermost handler
// has returned), so no box opens while a component is half-way through its work, and one
// event shows one error. TApplication::notify stays as the last resort for a handler
// that was connected without the wrapper.
//
// A connection straight to one of Qt's own slots (QDialog::accept, QAction::trigger)
// needs no wrapper, and neither do the change notices our models send to the component
// that owns them: neither is a handler's edge.
#include <concepts>
#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

namespace handler_guard {

// Counts the guarded handlers running within the current event; the end of the event, or
// of the outermost handler outside any event, shows the first error any of them raised.
class TScope {
public:
    TScope();
    ~TScope();
    TScope(const TScope&) = delete;
    TScope& operator=(const TScope&) = delete;
    void Failed(std::exception_ptr error);
};

// Held while Qt delivers an event: the errors of the handlers it runs are shown when it
// ends, also when it is delivered inside a handler (a modal dialog's event, say).
class TDispatchScope {
public:
    TDispatchScope();
    ~TDispatchScope();
    TDispatchScope(const TDispatchScope&) = delete;
    TDispatchScope& operator=(const TDispatchScope&) = delete;

private:
    int depth_;
    std::exception_ptr pending_;
};

}  // namespace handler_guard

// True once a guarded handler of the event being delivered has failed and its error waits
// for the error box.
bool HandlerFailed();

// A handler that returns a value gives a default-constructed one after an error.
template <typename F>
auto Guarded(F handler) {
    // The constraint lets Qt find out how many of a signal's arguments the handler takes.
    return [handler = std::move(handler)]<typename... A>(A&&... args) mutable
        requires std::invocable<F&, A...>
    {
        using R = std::invoke_result_t<F&, A...>;
        handler_guard::TScope scope;
        try {
            return std::invoke(handler, std::forward<A>(args)...);
        } catch (...) {
            scope.Failed(std::current_exception());
        }
        if constexpr (!std::is_void_v<R>) return R{};
    };
}
