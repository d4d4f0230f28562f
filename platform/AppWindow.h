// The application window: one per process, never shown as a form. Its title is
// the application title, which is what the task bar shows; messages sent to it
// (by this process or, on Windows, by others, e.g. WM_COPYDATA) go first to the
// handler set here.
//
// On Windows with the native back end it is a real top-level window, created on
// first use, that owns every form's window. Elsewhere (and in tests) it has no
// native window: the title is kept and messages arrive only through
// DeliverAppWindowMessage. All functions are for the GUI thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

void SetApplicationTitle(const std::u16string& title);
std::u16string ApplicationTitle();

// HWND of the application window on Windows with the native back end; 0 otherwise.
uintptr_t AppWindowHandle();

// Called synchronously for each message the application window receives; returns
// true when it handled the message, with `result` as the window procedure's
// result. Pointers carried by the message are valid only during the call.
// nullptr removes the handler.
using AppWindowHandler =
    std::function<bool(uint32_t msg, uintptr_t wparam, intptr_t lparam, intptr_t& result)>;
void SetAppWindowHandler(AppWindowHandler handler);

// Passes a message through the handler as if the application window had received
// it; false (result 0) when there is no handler or it did not handle the message.
bool DeliverAppWindowMessage(uint32_t msg, uintptr_t wparam, intptr_t lparam, intptr_t& result);

}  // namespace platform
