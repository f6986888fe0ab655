// A top-level window with the play list's list box, as the main dialog makes
// it, for the tests that need the real controls. It records every caption it
// is given.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/text.h"

namespace zav2::test {

class TestWindow {
  public:
    TestWindow();
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND main() const { return main_; }
    HWND listBox() const { return listBox_; }
    // Captions set since the last call, oldest first.
    std::vector<String> takeCaptions();

    static constexpr int kItemHeight = 16;
    static constexpr int kListHeight = 160;  // ten whole rows

  private:
    HWND main_ = nullptr;
    HWND listBox_ = nullptr;
};

// Handles the messages waiting for this thread.
void pumpMessages();

}  // namespace zav2::test
