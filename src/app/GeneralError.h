#pragma once
#include "app/AppContext.h"

#include <exception>
#include <utility>

class MessageService;

// The general error handler: an error that no command caught is shown with its text, and
// the program goes on with the next user action.
namespace GeneralError {
void Show(MessageService* messages, const std::exception& error);
void ShowUnknown(MessageService* messages);
} // namespace GeneralError

// Runs the action; an error it throws ends there and goes to the general error handler.
// Qt is built without exceptions, so nothing may unwind through its frames: every command,
// list reload and timer runs this way at the place where it is connected.
template <class Action>
void RunGuarded(MessageService* messages, Action&& action) noexcept
{
    try {
        std::forward<Action>(action)();
    } catch (const std::exception& error) {
        GeneralError::Show(messages, error);
    } catch (...) {
        GeneralError::ShowUnknown(messages);
    }
}

// The action as a slot that runs it guarded (the signal's arguments are not passed on).
template <class Action>
auto Guarded(AppContext& ctx, Action action)
{
    return [&ctx, action = std::move(action)] { RunGuarded(ctx.Messages, action); };
}
