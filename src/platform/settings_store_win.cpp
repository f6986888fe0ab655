#include <windows.h>

#include <vector>

#include "platform/settings_store.h"

namespace zav2 {

namespace {
// The profile functions take terminated strings; views may not be.
String terminated(StringView text) {
    return String(text);
}
}  // namespace

String ProfileSettingsStore::readString(StringView section, StringView key, StringView defaultValue,
                                        size_t bufferUnits) {
    if (bufferUnits == 0)
        return {};
    std::vector<wchar_t> buffer(bufferUnits, L'\0');
    const DWORD length = GetPrivateProfileStringW(
        terminated(section).c_str(), terminated(key).c_str(), terminated(defaultValue).c_str(),
        buffer.data(), static_cast<DWORD>(bufferUnits), path_.c_str());
    return String(buffer.data(), length < bufferUnits ? length : bufferUnits - 1);
}

int ProfileSettingsStore::readInt(StringView section, StringView key, int defaultValue) {
    return static_cast<int>(GetPrivateProfileIntW(
        terminated(section).c_str(), terminated(key).c_str(), defaultValue, path_.c_str()));
}

void ProfileSettingsStore::writeString(StringView section, StringView key, StringView value) {
    // Write errors are not reported: the settings are best effort at exit.
    WritePrivateProfileStringW(terminated(section).c_str(), terminated(key).c_str(),
                               terminated(value).c_str(), path_.c_str());
}

void ProfileSettingsStore::removeKey(StringView section, StringView key) {
    // A null value deletes the key.
    WritePrivateProfileStringW(terminated(section).c_str(), terminated(key).c_str(), nullptr,
                               path_.c_str());
}

}  // namespace zav2
