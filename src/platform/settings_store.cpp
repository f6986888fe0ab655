#include "platform/settings_store.h"

#include <climits>
#include <cstdint>

namespace zav2 {

int parseProfileInt(StringView text, int defaultValue) {
    if (text.empty())
        return defaultValue;
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    // Unsigned arithmetic: an overlong number wraps as the platform reader's
    // 32-bit result does, never overflows.
    uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const Char c = text[i];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            break;
        value = value * base + digit;
    }
    if (negative)
        value = 0u - value;
    return value > static_cast<uint32_t>(INT_MAX)
               ? -static_cast<int>(~value) - 1  // two's complement without overflow
               : static_cast<int>(value);
}

const String* MemorySettingsStore::find(StringView section, StringView key) const {
    for (const Section& s : sections_) {
        if (!equalsIgnoreCase(s.name, section))
            continue;
        for (const auto& entry : s.entries) {
            if (equalsIgnoreCase(entry.first, key))
                return &entry.second;
        }
    }
    return nullptr;
}

String MemorySettingsStore::readString(StringView section, StringView key, StringView defaultValue,
                                       size_t bufferUnits) {
    const String* value = find(section, key);
    String text(value ? StringView(*value) : defaultValue);
    const size_t limit = bufferUnits == 0 ? 0 : bufferUnits - 1;
    if (text.size() > limit)
        text.resize(limit);
    return text;
}

int MemorySettingsStore::readInt(StringView section, StringView key, int defaultValue) {
    const String* value = find(section, key);
    return value ? parseProfileInt(*value, defaultValue) : defaultValue;
}

void MemorySettingsStore::writeString(StringView section, StringView key, StringView value) {
    Section* target = nullptr;
    for (Section& s : sections_) {
        if (equalsIgnoreCase(s.name, section)) {
            target = &s;
            break;
        }
    }
    if (!target) {
        sections_.push_back(Section{String(section), {}});
        target = &sections_.back();
    }
    for (auto& entry : target->entries) {
        if (equalsIgnoreCase(entry.first, key)) {
            entry.second = String(value);
            return;
        }
    }
    target->entries.emplace_back(String(key), String(value));
}

void MemorySettingsStore::removeKey(StringView section, StringView key) {
    for (Section& s : sections_) {
        if (!equalsIgnoreCase(s.name, section))
            continue;
        std::erase_if(s.entries,
                      [&](const auto& entry) { return equalsIgnoreCase(entry.first, key); });
    }
}

std::vector<std::pair<String, String>> MemorySettingsStore::entries(StringView section) const {
    for (const Section& s : sections_) {
        if (equalsIgnoreCase(s.name, section))
            return s.entries;
    }
    return {};
}

bool MemorySettingsStore::has(StringView section, StringView key) const {
    return find(section, key) != nullptr;
}

}  // namespace zav2
