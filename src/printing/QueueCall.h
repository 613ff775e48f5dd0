#pragma once
#include "envelope/PrintError.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>

// Calls into the printing system can block for seconds: a network printer that does not
// answer, a discovery that waits for replies. Each runs on a thread of its own while the
// calling thread keeps its windows painting. Meanwhile user input reaches only windows that
// take it while the program waits (the series' progress window with its "Abbrechen"), so no
// command starts a second time. A call that does not return in time is left to finish on
// its own; the caller gets a PrintError with the given message.
namespace QueueCall {

// Windows with this property set to true take input while a call is waited for.
inline constexpr char kTakesInputWhileWaiting[] = "tavistoTakesInputWhileWaiting";

// How long a queue may take to answer before the user is told.
inline constexpr int kAnswerMs = 10000;

struct State
{
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    // Set by the waiter when it gave up; what the call then gets is cleaned up by it.
    std::atomic<bool> abandoned{false};
    std::exception_ptr error;
};

// Waits until state->finished, keeping the calling thread's windows alive when it is the
// GUI thread. False when the time ran out.
bool Wait(const std::shared_ptr<State>& state, int timeoutMs);

// Runs fn on a thread of its own and returns what it returns (or throws what it throws).
// onAbandoned runs on that thread with the result when the caller stopped waiting for it.
template <typename Fn, typename R = std::invoke_result_t<Fn>>
R Run(Fn fn, int timeoutMs, const QString& timeoutMessage,
      std::type_identity_t<std::function<void(const R&)>> onAbandoned = {})
{
    struct Typed : State
    {
        std::optional<R> value;
    };
    auto state = std::make_shared<Typed>();
    std::thread([state, fn = std::move(fn), onAbandoned = std::move(onAbandoned)]() mutable {
        std::optional<R> value;
        std::exception_ptr error;
        try {
            value.emplace(fn());
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard lock(state->mutex);
        if (state->abandoned && value && onAbandoned)
            onAbandoned(*value);
        state->value = std::move(value);
        state->error = error;
        state->finished = true;
        state->done.notify_all();
    }).detach();
    if (!Wait(state, timeoutMs))
        throw PrintError(timeoutMessage);
    if (state->error)
        std::rethrow_exception(state->error);
    return std::move(*state->value);
}

} // namespace QueueCall
