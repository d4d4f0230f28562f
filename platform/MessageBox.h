// A modal message box with one OK button.
//
// With the native back end: MessageBoxW on Windows, SDL's simple message box
// elsewhere (falling back to stderr when no display can be opened). With the
// headless back end it never blocks: the text goes to stderr and is recorded for
// tests.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

void ShowMessageBox(const std::u16string& title, const std::u16string& text);

namespace headless {
struct MessageBoxRecord {
  std::u16string title, text;
  int32_t count = 0;  // message boxes asked for so far, on any back end
};
MessageBoxRecord LastMessageBox();
}  // namespace headless

}  // namespace platform
