#include "tag_corpus.h"

#include <fstream>
#include <random>

#include "tag_builders.h"

namespace zav2::bench {

namespace {

using namespace build;
using namespace std::string_literals;

// One file: pieces of bytes at offsets, zero elsewhere, `size` bytes long.
struct Layout {
    std::vector<std::pair<uint64_t, Bytes>> pieces;
    uint64_t size = 0;
    uint64_t titleOffset = 0;
};

// Writes the pieces, seeking over every run of zeros of 64 KiB or more so the
// file system leaves holes there.
void writeSparse(const std::filesystem::path& path, const Layout& layout) {
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        constexpr size_t kHole = 64 * 1024;
        for (const auto& [offset, bytes] : layout.pieces) {
            size_t i = 0;
            while (i < bytes.size()) {
                size_t j = i;
                size_t zeros = 0;
                while (j < bytes.size() && zeros < kHole) {
                    zeros = bytes[j] == 0 ? zeros + 1 : 0;
                    ++j;
                }
                const size_t writeEnd = zeros >= kHole ? j - zeros : j;
                if (writeEnd > i) {
                    out.seekp(static_cast<std::streamoff>(offset + i));
                    out.write(bytes.data() + i, static_cast<std::streamsize>(writeEnd - i));
                }
                while (zeros >= kHole && j < bytes.size() && bytes[j] == 0)
                    ++j;
                i = j;
            }
        }
    }
    std::filesystem::resize_file(path, layout.size);
}

std::u16string titleFor(const std::string& format, int index) {
    static const std::u16string kNames[] = {u"夜明けの歌",      u"Blue Train", u"さくらさくら",
                                            u"Moonlight Drive", u"東京タワー", u"Café Ｎo. 5"};
    return kNames[index % 6] + u" " + std::u16string(format.begin(), format.end()) + u" #" +
           std::u16string(u"0123456789").substr(index % 10, 1);
}

std::string toUtf8(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

Layout mp3(const std::u16string& title, size_t cover, uint64_t audio) {
    const Bytes before =
        id3Frame(3, "TPE1", id3Text(0, "Zav2 Artists")) +
        id3Frame(3, "APIC", apicContent(0, 3, kNul, "\xFF\xD8"s + Bytes(cover, '\0')));
    const Bytes body = before + id3Frame(3, "TIT2", id3Text(1, kBomLe + utf16le(title) + kNul2)) +
                       id3Frame(3, "TALB", id3Text(0, "Album")) + Bytes(2048, '\0');
    const Bytes tag = id3Tag(3, body);
    return {{{0, tag}}, tag.size() + audio, 10 + before.size() + 10};
}

Layout flac(const std::u16string& title, size_t cover, uint64_t audio) {
    const Bytes picture = be32(3) + be32(10) + "image/jpeg" + be32(0) + be32(500) + be32(500) +
                          be32(24) + be32(0) + be32(static_cast<uint32_t>(cover)) +
                          Bytes(cover, '\0');
    const Bytes head = "fLaC"s + flacBlock(0, Bytes(34, '\x11')) +
                       flacBlock(3, Bytes(18 * 40, '\x01')) + flacBlock(6, picture);
    const Bytes comments =
        flacBlock(4, vorbisComments("reference libFLAC 1.4.2",
                                    {"ARTIST=Zav2", "TITLE=" + toUtf8(title), "ALBUM=Album"})) +
        flacBlock(1, Bytes(8192, '\0'), true);
    return {{{0, head + comments}}, head.size() + comments.size() + audio, head.size() + 40};
}

Layout ogg(const std::u16string& title, size_t cover, uint64_t audio) {
    // The picture comment (base64 text in real files) ahead of the title.
    const Bytes stream = oggVorbisFile(
        {"METADATA_BLOCK_PICTURE=" + Bytes(cover, '\0'), "ARTIST=Zav2", "TITLE=" + toUtf8(title)});
    return {{{0, stream}}, stream.size() + audio, 58 + cover};
}

Layout m4a(const std::u16string& title, size_t cover, uint64_t audio) {
    const Bytes head =
        ftyp("M4A ") + atom("free", "") + be32(static_cast<uint32_t>(audio + 8)) + "mdat";
    const Bytes coverAtom = atom("covr", atom("data", be32(13) + be32(0) + Bytes(cover, '\0')));
    const Bytes name = atom("\xA9nam", atom("data", be32(1) + be32(0) + toUtf8(title)));
    const Bytes ilst = atom("ilst", atom("\xA9"
                                         "ART",
                                         atom("data", be32(1) + be32(0) + "Zav2")) +
                                        coverAtom + name);
    const Bytes meta = atom("meta", be32(0) + atom("hdlr", Bytes(25, '\0')) + ilst);
    // Sample tables of a few minutes of audio: tens of kilobytes.
    const Bytes trak =
        atom("trak", atom("tkhd", Bytes(84, '\x01')) + atom("mdia", Bytes(60000, '\x02')));
    const Bytes moov = atom("moov", atom("mvhd", Bytes(100, '\x01')) + trak + atom("udta", meta));
    const uint64_t moovAt = head.size() + audio;
    return {
        {{0, head}, {moovAt, moov}}, moovAt + moov.size(), moovAt + moov.size() - name.size() + 24};
}

Layout wma(const std::u16string& title, size_t cover, uint64_t audio) {
    static const Bytes kExtendedContent(
        "\x40\xA4\xD0\xD2\x07\xE3\xD2\x11\x97\xF0\x00\xA0\xC9\x5E\xA8\x50", 16);
    const Bytes picture = le16(static_cast<uint32_t>(utf16le(u"WM/Picture").size() + 2)) +
                          utf16le(u"WM/Picture") + kNul2 + le16(1) +
                          le16(static_cast<uint32_t>(cover)) + Bytes(cover, '\0');
    const Bytes before = asfObject(kAsfFilePropertiesGuid, Bytes(80, '\x01')) +
                         asfObject(kExtendedContent, le16(1) + picture);
    const Bytes header =
        asfFile({asfObject(kAsfFilePropertiesGuid, Bytes(80, '\x01')),
                 asfObject(kExtendedContent, le16(1) + picture),
                 asfContentDescription(utf16le(title) + kNul2, utf16le(u"Zav2") + kNul2)});
    return {{{0, header}}, header.size() + audio, 30 + before.size() + 34};
}

Layout real(const std::u16string& title, size_t, uint64_t audio, bool media) {
    // Titles in the ANSI code page: keep them ASCII here.
    std::string ansi;
    for (char16_t c : title)
        ansi += c < 0x80 ? static_cast<char>(c) : '?';
    if (!media) {
        const Bytes head = realAudio4(ansi);
        return {{{0, head}}, head.size() + audio, 70};
    }
    const Bytes prop = realChunk("PROP", Bytes(40, '\x01'));
    const Bytes mdpr = realChunk("MDPR", Bytes(120, '\x01'));
    const Bytes head =
        realMedia({prop, mdpr, realContent(ansi), realChunk("DATA", Bytes(8, '\0'))});
    return {{{0, head}}, head.size() + audio, 18 + prop.size() + mdpr.size() + 12};
}

std::u16string realTitle(const std::u16string& title) {
    std::u16string out;
    for (char16_t c : title)
        out += c < 0x80 ? c : u'?';
    return out;
}

}  // namespace

std::vector<CorpusFile> makeCorpus(const std::filesystem::path& folder, int filesPerFormat) {
    static const char* const kFormats[] = {"mp3", "flac", "ogg", "m4a", "wma", "rm"};
    const std::filesystem::path stamp = folder / ("complete-" + std::to_string(filesPerFormat));
    const bool write = !std::filesystem::exists(stamp);
    if (write) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    std::mt19937 random(5);
    std::vector<CorpusFile> files;
    for (int i = 0; i < filesPerFormat; ++i) {
        for (const char* format : kFormats) {
            const size_t cover = 100 * 1024 + random() % (400 * 1024);
            const uint64_t audio = (2u << 20) + random() % (8u << 20);
            const std::u16string title = titleFor(format, i);
            const std::string name = std::string(format) + "-" + std::to_string(i);
            Layout layout;
            std::string extension = format;
            std::u16string expected = title;
            const std::string f = format;
            if (f == "mp3")
                layout = mp3(title, cover, audio);
            else if (f == "flac")
                layout = flac(title, cover, audio);
            else if (f == "ogg")
                layout = ogg(title, cover, audio);
            else if (f == "m4a")
                layout = m4a(title, cover, audio);
            else if (f == "wma")
                layout = wma(title, cover, audio);
            else {
                const bool media = i % 2 == 0;
                extension = media ? "rm" : "ra";
                expected = realTitle(title);
                layout = real(title, cover, audio, media);
            }
            CorpusFile file{folder / (name + "." + extension), format, expected, layout.size,
                            layout.titleOffset};
            if (write)
                writeSparse(file.path, layout);
            files.push_back(std::move(file));
        }
    }
    if (write)
        std::ofstream(stamp) << files.size() << "\n";
    return files;
}

}  // namespace zav2::bench
