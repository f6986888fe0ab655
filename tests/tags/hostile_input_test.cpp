// Broken and hostile files: every reader must end, stay inside its buffers
// (the sanitizers watch) and give no title rather than a wrong one of garbage.
#include <gtest/gtest.h>

#include <random>

#include "tag_builders.h"
#include "test_support.h"

namespace zav2 {
namespace {

using namespace build;
using namespace std::string_literals;

struct Sample {
    const char* name;
    TitleReader reader;
    Bytes bytes;
};

std::vector<Sample> samples() {
    const Bytes cover = id3Frame(3, "APIC", apicContent(0, 3, kNul, Bytes(300, '\xFF')));
    return {
        {"id3v23", readId3Title,
         id3Tag(3, cover + id3Frame(3, "USLT", lyricsContent(1, kBomLe + kNul2, kBomLe + "x\0"s)) +
                       id3Frame(3, "TIT2", id3Text(1, kBomLe + utf16le(u"title"))))},
        {"id3v23u", readId3Title,
         id3Tag(3, unsynchronise(cover + id3Frame(3, "TIT2", id3Text(1, kBomLe + "t\0"s))), 0x80)},
        {"id3v24", readId3Title,
         id3Tag(4,
                syncsafe(6) + "\x01\x00"s +
                    id3Frame(4, "APIC", apicContent(0, 3, kNul, "\xFF\xD8"), 0x0003) +
                    id3Frame(4, "TIT2", id3Text(3, "t")),
                0xC0)},
        {"id3v22", readId3Title,
         id3Tag(2, id3Frame(2, "PIC", picContent(1, kNul, "img")) +
                       id3Frame(2, "TT2", id3Text(0, "t")))},
        {"flac", readFlacTitle,
         flacFile({{6, Bytes(100, 'p')}, {4, vorbisComments("v", {"TITLE=t"})}})},
        {"ogg", readOggTitle, oggVorbisFile({Bytes(600, 'c'), "TITLE=t"}, 3)},
        {"mp4", readMp4Title, ftyp("M4A ") + atom("mdat", Bytes(50, '\0')) + mp4TitleMoov("t")},
        {"asf", readAsfTitle, asfFile({asfContentDescription(utf16le(u"t") + kNul2)})},
        {"rm", readRealTitle, realMedia({realChunk("PROP", "p"), realContent("t")})},
        {"ra", readRealTitle, realAudio4("t")},
    };
}

void readEverything(const Sample& sample, const Bytes& bytes) {
    MemoryFile file(bytes);
    (void)sample.reader(file);
    const LyricsAndPicture found = readLyricsAndPicture(file);
    if (found.picture)
        (void)readPictureBytes(file, *found.picture);
}

TEST(HostileInput, SamplesAreReadWhole) {
    for (const Sample& sample : samples())
        EXPECT_FALSE(test::titleOf(sample.reader, sample.bytes).empty()) << sample.name;
}

TEST(HostileInput, EveryTruncationEnds) {
    for (const Sample& sample : samples()) {
        for (size_t length = 0; length < sample.bytes.size(); ++length)
            readEverything(sample, sample.bytes.substr(0, length));
    }
}

TEST(HostileInput, CorruptedBytesAndHugeSizes) {
    std::mt19937 random(20240605);
    for (const Sample& sample : samples()) {
        for (int round = 0; round < 400; ++round) {
            Bytes bytes = sample.bytes;
            const int changes = 1 + static_cast<int>(random() % 4);
            for (int i = 0; i < changes; ++i) {
                const size_t at = random() % bytes.size();
                // Extreme values hit size fields hardest.
                const char values[] = {'\0', '\x7F', '\x80', '\xFF', static_cast<char>(random())};
                bytes[at] = values[random() % 5];
            }
            readEverything(sample, bytes);
        }
    }
}

TEST(HostileInput, ZeroSizesDoNotLoop) {
    // Many zero-sized structures in a row end because each is stepped over.
    EXPECT_EQ(test::titleOf(readMp4Title, ftyp("M4A ") + be32(8) + "free" + be32(0) + "moov"),
              ZT(""));
    Bytes flac = "fLaC"s;
    for (int i = 0; i < 1000; ++i)
        flac += flacBlock(1, "");
    EXPECT_EQ(test::titleOf(readFlacTitle, flac), ZT(""));
    Bytes ogg;
    for (int i = 0; i < 2000; ++i)
        ogg += oggPage(5, static_cast<uint32_t>(i), 0x02, {}, "");
    EXPECT_EQ(test::titleOf(readOggTitle, ogg), ZT(""));
    EXPECT_EQ(test::titleOf(readId3Title, id3Tag(3, Bytes(4, 'T') + be32(0) + be16(0) +
                                                        Bytes(4, 'T') + be32(0xFFFFFFFF))),
              ZT(""));
}

}  // namespace
}  // namespace zav2
