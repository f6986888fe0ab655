// Where settings are kept: an INI file read and written key by key. The
// program reads and writes through this interface only, so the rules above it
// are tested over the in-memory store and run over the platform's profile
// functions on Windows.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "platform/text.h"

namespace zav2 {

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // The value of a key, or `defaultValue` when the key is missing; at most
    // bufferUnits - 1 units, as a read into a buffer of that size.
    virtual String readString(StringView section, StringView key, StringView defaultValue,
                              size_t bufferUnits) = 0;
    // The integer profile reader: `defaultValue` when the key is missing or
    // empty, otherwise the number its text starts with (0 when none).
    virtual int readInt(StringView section, StringView key, int defaultValue) = 0;
    // Replaces the value of an existing key in place; a new key goes to the
    // end of its section, a new section to the end of the file.
    virtual void writeString(StringView section, StringView key, StringView value) = 0;
    // Deletes the key; nothing happens when it is missing.
    virtual void removeKey(StringView section, StringView key) = 0;
};

// The integer profile reader's rules: leading blanks, an optional sign, then
// decimal digits (or hexadecimal after "0x"); stops at the first other unit.
// An empty text gives `defaultValue`.
int parseProfileInt(StringView text, int defaultValue);

// An INI file in memory, with the profile functions' key order rules. Key and
// section names compare case-insensitively.
class MemorySettingsStore final : public SettingsStore {
  public:
    String readString(StringView section, StringView key, StringView defaultValue,
                      size_t bufferUnits) override;
    int readInt(StringView section, StringView key, int defaultValue) override;
    void writeString(StringView section, StringView key, StringView value) override;
    void removeKey(StringView section, StringView key) override;

    // The keys of a section with their values, in file order.
    std::vector<std::pair<String, String>> entries(StringView section) const;
    bool has(StringView section, StringView key) const;

  private:
    struct Section {
        String name;
        std::vector<std::pair<String, String>> entries;
    };
    const String* find(StringView section, StringView key) const;
    std::vector<Section> sections_;
};

#ifdef _WIN32
// The INI file at `path`, through GetPrivateProfileStringW,
// GetPrivateProfileIntW and WritePrivateProfileStringW: the file is exactly
// what those functions make of it.
class ProfileSettingsStore final : public SettingsStore {
  public:
    explicit ProfileSettingsStore(String path) : path_(std::move(path)) {}
    String readString(StringView section, StringView key, StringView defaultValue,
                      size_t bufferUnits) override;
    int readInt(StringView section, StringView key, int defaultValue) override;
    void writeString(StringView section, StringView key, StringView value) override;
    void removeKey(StringView section, StringView key) override;

  private:
    String path_;
};
#endif

}  // namespace zav2
