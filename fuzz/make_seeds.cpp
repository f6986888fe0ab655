// Writes the seed corpus of the fuzz targets (the tag tests' sample files,
// lists and texts as a user might edit them):
// make_seeds FOLDER writes FOLDER/<target>/<name> files.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tag_samples.h"

namespace {

using namespace zav2::build;
using namespace std::string_literals;
using Seeds = std::map<std::string, Bytes>;

// UTF-16LE with its mark, as the program writes its own files.
Bytes keptFile(const std::u16string& lines) {
    return kBomLe + utf16le(lines);
}

// The hand-written seeds by target.
std::map<std::string, Seeds> handWrittenSeeds() {
    const Bytes words = utf8(u8"日本語の歌詞");
    const std::u16string lines = u"#EXTM3U\r\n#EXTINF:2,t\r\n#1 intro.mp3\r\n.\\#1 intro.mp3\r\n";
    return {
        // Companion texts: the marks, Shift_JIS and UTF-8 without one, line ends.
        {"panel_text",
         {{"utf8", words + "\r\nsecond\rthird\n"},
          {"utf8-mark", "\xEF\xBB\xBF" + words + "\n"},
          {"shift-jis", "\x93\xFA\x96\x7B\x8C\xEA\r\n\x82\xCC\n"},
          {"utf16le", kBomLe + utf16le(u"歌詞\r\nline")},
          {"utf16be", "\xFE\xFF\x6B\x4C\x8A\x5E\0\r\0\n\0x"s},
          {"long-line", Bytes(3000, 'x') + "\n"},
          {"binary", "MZ\x90\0\x03\0"s}}},
        // First byte: 0 reads the rest as "l.m3u8", 1 as "l.m3u" (ANSI).
        {"m3u_list",
         {{"utf8-bom",
           "\0\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:1,"s + utf8(u8"曲") + "\r\n.\\a.mp3\r\nsub/b.mp3\r\n"},
          {"utf16le", "\0\xFF\xFE"s + utf16le(lines)},
          {"utf16be", "\1\xFE\xFF"s + utf16be(lines)},
          {"ansi", "\1#EXTINF:3,\x8B\xC8\r\nab\r\nsub\\deep\\c.ogg\r\n..\\x.mp3\r\n#EXTINF:x"s},
          {"nul", "\0a.mp3\0x\n\\sub\\b.mp3\nsub/../a.mp3"s}}},
        // "s.zav", then "t.zav" and "l.m3u8" after "\n==\n" markers.
        {"search_list",
         {{"filter", "*\r\n*\r\n.\r\n"},
          {"words", "\xEF\xBB\xBFOR b c\r\n-deep\r\nsub\r\n"},
          {"link-folder", "sub\r\n"},
          {"link-file", "sub/b.mp3"},
          {"link-list", "l.m3u8\n==\n\n==\n#EXTM3U\na.mp3\nsub/b.mp3\n"},
          {"link-loop", "t.zav\n==\ns.zav\n"}}},
        {"forwarded_command_line",
         {{"path", "\"C:\\Music\\a b.mp3\""},
          {"instance", "-work D:\\x.mp3"},
          {"quotes", "a\\\\\\\"b \"c d\" e\0tail"s},
          {"long", Bytes(300, 'x')},
          {"control", "/Play -x"},
          {"ansi", "\x83\x8A\x83\x41.mp3"}}},
        {"settings_values",
         {{"empty", ""},
          {"edited",
           "[SystemSetting]\nVolume= 55\nMode=random\nListWidth=0x7fffffff\ntextFontName=" +
               utf8(u8"ＭＳ ゴシック") +
               " and a name beyond the buffer\nx=-2147483648\nViewSize=ORIGINAL\n"
               "[UserSetting]\nCaptureDir=D:\\cap\nIgnoreDir=old\n"},
          {"broken", "[SystemSetting\nTopMost\n=ON\nViewSize=\"ORIGINAL\"\nVolume=-5\nMode=\n"}}},
        // The expression's line, then one title a line.
        {"search_expression",
         {{"words", "rock -live\nrock studio\nrock live\n\njazz"},
          {"or", "OR a b\nxa\nyb\nc"},
          {"blank", "  \na\nb"},
          {"japanese", utf8(u8"曲 -歌\n曲名\n歌曲")}}},
        {"resume_places",
         {{"places", keptFile(u"Zav2 places\r\n330\tD:\\講義\\a=b;[c].mp3\r\n7\tC:\\x.mp4\r\n")},
          {"repeated", keptFile(u"Zav2 places\r\n1\tC:\\x\r\n2\tC:\\x\r\n")},
          {"header-only", keptFile(u"Zav2 places\r\n")},
          {"cut-short", keptFile(u"Zav2 places\r\n330\tD:\\a.mp3")},
          {"lone-surrogate", keptFile(u"Zav2 places\r\n9\tD:\\") + "\x00\xD8\r\0\n\0"s},
          {"bytes", "Zav2 places\r\n330\tD:\\a.mp3\r\n"}}},
        {"loudness_cache",
         {{"loudness",
           keptFile(u"Zav2 loudness\r\n4096\t133000000000000000\t-14.25\t0.98\tD:\\曲\\a=b;[c].flac"
                    u"\r\n7\t1\t-23.123456789012345\t1.0000001\tC:\\x.wav\r\n")},
          {"repeated",
           keptFile(u"Zav2 loudness\r\n1\t1\t-10\t1\tC:\\x\r\n2\t2\t-20\t1\tC:\\x\r\n")},
          {"out-of-range", keptFile(u"Zav2 loudness\r\n1\t1\t-1e400\t65\tC:\\x\r\n")},
          {"not-a-number", keptFile(u"Zav2 loudness\r\n1\t1\tnan\tinf\tC:\\x\r\n")},
          {"header-only", keptFile(u"Zav2 loudness\r\n")}}},
    };
}

void write(const std::filesystem::path& folder, const Seeds& seeds) {
    std::filesystem::create_directories(folder);
    for (const auto& [name, bytes] : seeds)
        std::ofstream(folder / name, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds FOLDER\n");
        return 2;
    }
    const std::filesystem::path root(argv[1]);
    for (const TagSample& sample : tagSamples()) {
        write(root / sample.target, {{sample.name, sample.bytes}});
        if (sample.reader == zav2::readId3Title)
            write(root / "lyrics_picture", {{sample.name, sample.bytes}});
    }
    for (const auto& [target, seeds] : handWrittenSeeds())
        write(root / target, seeds);
    return 0;
}
