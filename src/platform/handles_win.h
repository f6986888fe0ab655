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

}  // namespace zav2
