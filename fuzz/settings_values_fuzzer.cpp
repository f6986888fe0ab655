// A hand-edited INI file: "[section]" and "key=value" lines (UTF-8) fill the
// store the settings are read from. Whatever it holds, the settings written
// back read back as the same settings.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/settings.h"
#include "fuzz_support.h"

namespace {

using namespace zav2;

using fuzz::check;

Settings readAll(SettingsStore& store) {
    Settings settings;
    readPlacement(store, 400, 96, settings);
    readSettings(store, std::nullopt, 96, settings);
    readCaptureDir(store, settings);
    return settings;
}

MemorySettingsStore written(const Settings& settings) {
    MemorySettingsStore store;
    writeSettings(store, settings, {settings.x, settings.y, settings.width, settings.height},
                  {ZT("D:\\"), ZT("D:\\a.mp3"), 330}, 96);
    return store;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const String text = utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));
    MemorySettingsStore hand;
    String section = kSystemSection;
    for (size_t start = 0; start <= text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        const StringView line = StringView(text).substr(start, end - start);
        start = end + 1;
        const size_t equals = line.find('=');
        if (!line.empty() && line.front() == '[' && line.back() == ']')
            section = String(line.substr(1, line.size() - 2));
        else if (equals != StringView::npos)
            hand.writeString(section, line.substr(0, equals), line.substr(equals + 1));
    }
    (void)readIgnoreDir(hand);
    (void)readResumeKeys(hand);

    const Settings first = readAll(hand);
    check(first.Volume >= 0 && first.Volume <= 1000);
    check(first.textFontName.size() <= kMaxFontName && first.listFontName.size() <= kMaxFontName);
    MemorySettingsStore once = written(first);
    MemorySettingsStore twice = written(readAll(once));
    for (const Char* name : {kSystemSection, kUserSection})
        check(once.entries(name) == twice.entries(name));
    return 0;
}
