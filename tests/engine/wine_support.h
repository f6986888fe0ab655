// Helpers for the engine's tests that run under Wine: the test media, a
// window with a video host, and waits that keep messages flowing.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "engine/media_engine_player.h"

namespace zav2::test {

// A file of the media folder made by make_test_media.sh, whose POSIX path is
// in ZAV2_ENGINE_MEDIA; Wine shows the POSIX root as drive Z:.
std::wstring mediaPath(const std::wstring& name);

// A scratch folder of the run (Wine's temp folder), made empty.
std::wstring scratchFolder(const std::wstring& name);

// Runs the message loop until `done` holds or the time is up; true when done.
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
void pumpFor(DWORD ms);

// A visible top-level window at the screen's top-left corner with a child
// video host at (40, 40) of the given size.
class HostWindow {
  public:
    HostWindow(int width, int height);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND host() const { return hostWindow; }
    void resize(int width, int height);

  private:
    HWND mainWindow = nullptr;
    HWND hostWindow = nullptr;
};

// One window for a whole test program, shown and sized anew for each test:
// Wine takes seconds to take a top-level window down on a display without a
// window manager.
HostWindow& sharedHostWindow(int width, int height);

// Opens a file and waits up to 5 s for the engine to be able to play it.
HRESULT openAndWait(MediaEnginePlayer& player, const std::wstring& path);

}  // namespace zav2::test
