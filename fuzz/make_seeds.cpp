// Writes the seed corpus of the fuzz targets (tag readers from the unit tests'
// byte builders, lists and texts as a user might edit them):
// make_seeds FOLDER writes FOLDER/<target>/<name> files.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tag_builders.h"

namespace {

using namespace zav2::build;
using namespace std::string_literals;
using Seeds = std::map<std::string, Bytes>;

Seeds id3Seeds() {
    const Bytes title16 = id3Frame(3, "TIT2", id3Text(1, kBomLe + utf16le(u"題名") + kNul2));
    const Bytes cover = id3Frame(3, "APIC", apicContent(0, 3, kNul, "\xFF\xD8\xFF\xE0jpeg"s));
    const Bytes lyrics =
        id3Frame(3, "USLT", lyricsContent(1, kBomLe + kNul2, kBomLe + utf16le(u"詞")));
    return {
        {"v23", id3Tag(3, cover + lyrics + title16 + Bytes(32, '\0'))},
        {"v23-unsync", id3Tag(3, unsynchronise(cover + lyrics + title16), 0x80)},
        {"v23-extended", id3Tag(3, be32(6) + Bytes(6, '\0') + title16, 0x40)},
        {"v24", id3Tag(4,
                       syncsafe(6) + "\x01\x00"s +
                           id3Frame(4, "APIC", apicContent(3, 0, "d\0"s, "\x89PNG"s)) +
                           id3Frame(4, "USLT", lyricsContent(3, "d\0"s, "la la")) +
                           id3Frame(4, "TIT2",
                                    syncsafe(5) + unsynchronise(id3Text(3, "ti\xC3\xBF")), 0x0003),
                       0xC0)},
        {"v22", id3Tag(2, id3Frame(2, "PIC", picContent(4, kNul, "img")) +
                              id3Frame(2, "ULT", lyricsContent(0, kNul, "words")) +
                              id3Frame(2, "TT2", id3Text(0, "\x93\xFA\x96\x7B")))},
        {"v1", Bytes(64, '\x11') + id3v1("Version one")},
    };
}

Seeds flacSeeds() {
    const Bytes comments =
        vorbisComments("vendor", {"ARTIST=a", "title=" + utf8(u8"曲"), "TITLE=b"});
    return {
        {"comments", flacFile({{4, comments}}, "audio")},
        {"picture-first", flacFile({{6, Bytes(200, 'p')}, {1, Bytes(8, '\0')}, {4, comments}})},
        {"no-comments", flacFile({{1, Bytes(8, '\0')}})},
    };
}

Seeds oggSeeds() {
    return {
        {"one-page", oggVorbisFile({"TITLE=" + utf8(u8"題")})},
        {"many-pages", oggVorbisFile({Bytes(700, 'c'), "title=x", "TITLE=y"}, 2)},
        {"two-streams",
         oggPage(1, 0, 0x02, {8}, "\x80theora"s) + oggVorbisFile({"TITLE=second"}, 255, 2)},
    };
}

Seeds mp4Seeds() {
    return {
        {"moov-first", ftyp("M4A ") +
                           mp4TitleMoov(utf8(u8"タイトル"), atom("trak", Bytes(40, '\0'))) +
                           atom("mdat", Bytes(64, '\0'))},
        {"moov-last",
         ftyp("M4A ") + be32(1) + "mdat"s + be64(16 + 64) + Bytes(64, '\0') + mp4TitleMoov("late")},
        {"other-brand", ftyp("mp42") + mp4TitleMoov("x")},
    };
}

Seeds asfSeeds() {
    return {
        {"title", asfFile({asfObject(kAsfFilePropertiesGuid, Bytes(40, '\0')),
                           asfContentDescription(utf16le(u"題") + kNul2, utf16le(u"A") + kNul2)})},
        {"no-title", asfFile({asfContentDescription("", utf16le(u"Author") + kNul2)})},
    };
}

Seeds realSeeds() {
    return {
        {"ra4", realAudio4("Real audio")},
        {"rmf", realMedia({realChunk("PROP", Bytes(40, '\0')), realContent("\x83\x8A\x83\x41")})},
    };
}

// Companion texts: the marks, Shift_JIS and UTF-8 without one, line ends.
Seeds panelTextSeeds() {
    const Bytes words = utf8(u8"日本語の歌詞");
    return {
        {"utf8", words + "\r\nsecond\rthird\n"},
        {"utf8-mark", "\xEF\xBB\xBF" + words + "\n"},
        {"shift-jis", "\x93\xFA\x96\x7B\x8C\xEA\r\n\x82\xCC\n"},
        {"utf16le", kBomLe + utf16le(u"歌詞\r\nline")},
        {"utf16be", "\xFE\xFF\x6B\x4C\x8A\x5E\0\r\0\n\0x"s},
        {"long-line", Bytes(3000, 'x') + "\n"},
        {"binary", "MZ\x90\0\x03\0"s},
    };
}

// First byte: 0 reads the rest as "l.m3u8", 1 as "l.m3u" (ANSI).
Seeds m3uSeeds() {
    const std::u16string lines = u"#EXTM3U\r\n#EXTINF:2,t\r\n#1 intro.mp3\r\n.\\#1 intro.mp3\r\n";
    return {
        {"utf8-bom",
         "\0\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:1,"s + utf8(u8"曲") + "\r\n.\\a.mp3\r\nsub/b.mp3\r\n"},
        {"utf16le", "\0\xFF\xFE"s + utf16le(lines)},
        {"utf16be", "\1\xFE\xFF"s + utf16be(lines)},
        {"ansi", "\1#EXTINF:3,\x8B\xC8\r\nab\r\nsub\\deep\\c.ogg\r\n..\\x.mp3\r\n#EXTINF:x"s},
        {"nul", "\0a.mp3\0x\n\\sub\\b.mp3\nsub/../a.mp3"s},
    };
}

// "s.zav", then "t.zav" and "l.m3u8" after "\n==\n" markers.
Seeds searchListSeeds() {
    return {
        {"filter", "*\r\n*\r\n.\r\n"},
        {"words", "\xEF\xBB\xBFOR b c\r\n-deep\r\nsub\r\n"},
        {"link-folder", "sub\r\n"},
        {"link-file", "sub/b.mp3"},
        {"link-list", "l.m3u8\n==\n\n==\n#EXTM3U\na.mp3\nsub/b.mp3\n"},
        {"link-loop", "t.zav\n==\ns.zav\n"},
    };
}

Seeds forwardedSeeds() {
    return {
        {"path", "\"C:\\Music\\a b.mp3\""},
        {"instance", "-work D:\\x.mp3"},
        {"quotes", "a\\\\\\\"b \"c d\" e\0tail"s},
        {"long", Bytes(300, 'x')},
        {"control", "/Play -x"},
        {"ansi", "\x83\x8A\x83\x41.mp3"},
    };
}

Seeds settingsSeeds() {
    return {
        {"empty", ""},
        {"edited",
         "[SystemSetting]\nVolume= 55\nMode=random\nListWidth=0x7fffffff\n"
         "textFontName=" +
             utf8(u8"ＭＳ ゴシック") +
             " and a name beyond the buffer\n"
             "x=-2147483648\nViewSize=ORIGINAL\n[UserSetting]\nCaptureDir=D:\\cap\n"
             "IgnoreDir=old\n"},
        {"broken", "[SystemSetting\nTopMost\n=ON\nViewSize=\"ORIGINAL\"\nVolume=-5\nMode=\n"},
    };
}

// The expression's line, then one title a line.
Seeds expressionSeeds() {
    return {
        {"words", "rock -live\nrock studio\nrock live\n\njazz"},
        {"or", "OR a b\nxa\nyb\nc"},
        {"blank", "  \na\nb"},
        {"japanese", utf8(u8"曲 -歌\n曲名\n歌曲")},
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
    write(root / "id3_title", id3Seeds());
    write(root / "lyrics_picture", id3Seeds());
    write(root / "flac_title", flacSeeds());
    write(root / "ogg_title", oggSeeds());
    write(root / "mp4_title", mp4Seeds());
    write(root / "asf_title", asfSeeds());
    write(root / "real_title", realSeeds());
    write(root / "panel_text", panelTextSeeds());
    write(root / "m3u_list", m3uSeeds());
    write(root / "search_list", searchListSeeds());
    write(root / "forwarded_command_line", forwardedSeeds());
    write(root / "settings_values", settingsSeeds());
    write(root / "search_expression", expressionSeeds());
    return 0;
}
