// Owners for Win32 handles: each kind of handle is freed by exactly one owner.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace zav2 {

struct MenuDeleter {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct GdiObjectDeleter {
    void operator()(void* object) const { DeleteObject(static_cast<HGDIOBJ>(object)); }
};
struct AcceleratorDeleter {
    void operator()(HACCEL table) const { DestroyAcceleratorTable(table); }
};
struct HandleDeleter {
    void operator()(HANDLE handle) const {
        if (handle && handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};

using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueAccelerators = std::unique_ptr<std::remove_pointer_t<HACCEL>, AcceleratorDeleter>;
using UniqueHandle = std::unique_ptr<void, HandleDeleter>;

// Closes the clipboard when the work on it ends, however it ends.
class OpenedClipboard {
  public:
    explicit OpenedClipboard(HWND owner) {
        // Another program may hold it for a moment (a clipboard viewer, or
        // Wine's X11 side after every change): asked again for 0.2 s.
        for (int attempt = 0; attempt < 10 && !opened_; ++attempt) {
            opened_ = OpenClipboard(owner) != FALSE;
            if (!opened_)
                Sleep(20);
        }
    }
    ~OpenedClipboard() {
        if (opened_)
            CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool opened() const { return opened_; }

  private:
    bool opened_ = false;
};

}  // namespace zav2
