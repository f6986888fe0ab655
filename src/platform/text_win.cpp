#include "platform/text.h"

#include <windows.h>

namespace zav2 {

String ansiToUtf16(std::string_view bytes) {
    if (bytes.empty())
        return {};
    const int size = static_cast<int>(bytes.size());
    const int units = MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), size, nullptr, 0);
    String out(static_cast<size_t>(units > 0 ? units : 0), Char{});
    if (units > 0)
        MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), size, out.data(), units);
    return out;
}

std::string utf16ToAnsi(StringView text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int bytes =
        WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) {
        WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), size, out.data(), bytes, nullptr,
                            nullptr);
    }
    return out;
}

int ansiCodePage() {
    CPINFOEXW info{};
    if (GetCPInfoExW(CP_THREAD_ACP, 0, &info))
        return static_cast<int>(info.CodePage);
    return static_cast<int>(GetACP());
}

}  // namespace zav2
