#include <gtest/gtest.h>

#include "tag_builders.h"
#include "test_support.h"

namespace zav2 {
namespace {

using namespace build;
using namespace std::string_literals;
using test::lyricsAndPictureOf;
using test::pictureBytesOf;

Bytes uslt(int version, const Bytes& content) {
    return id3Tag(version, id3Frame(version, version == 2 ? "ULT" : "USLT", content));
}

const Bytes kFront = "\xFF\xD8\xFF\xE0 front jpeg \xFF\xD9"s;
const Bytes kBack = "\xFF\xD8\xFF\xE0 back jpeg \xFF\xD9"s;

TEST(Id3Lyrics, EncodingsDescriptorsAndWhichFrame) {
    const Bytes first = id3Frame(3, "USLT", lyricsContent(0, kNul, "first"));
    const Bytes second = id3Frame(3, "uslt", lyricsContent(0, kNul, "second"));
    const struct {
        Bytes bytes;
        std::optional<String> lyrics;
    } cases[] = {
        // UTF-16 with an empty descriptor (its own mark and terminator).
        {uslt(3, lyricsContent(1, kBomLe + kNul2, kBomLe + utf16le(u"歌詞\nです"))),
         ZT("歌詞\nです")},
        // A descriptor that is not empty is stepped over in every encoding.
        {uslt(3, lyricsContent(1, kBomLe + utf16le(u"desc") + kNul2, kBomBe + utf16be(u"BE text"))),
         ZT("BE text")},
        {uslt(4, lyricsContent(3, utf8(u8"説明") + kNul, utf8(u8"うた"))), ZT("うた")},
        {uslt(3, lyricsContent(0, "desc"s + kNul, "\x89\xCC"s)), ZT("歌")},
        // Unknown encodings and unended descriptors leave the lyrics empty, not absent.
        {uslt(3, lyricsContent(2, kNul2, utf16be(u"big"))), ZT("")},
        {uslt(3, lyricsContent(3, "no terminator", "")), ZT("")},
        {id3Tag(3, id3Frame(3, "TIT2", id3Text(0, "t"))), std::nullopt},
        // Nothing at all without an ID3v2 tag.
        {Bytes(1000, '\x11') + id3v1("Title"), std::nullopt},
        // The first frame wins; a frame with an empty ID but a size is passed
        // over, and padding does not end the walk either.
        {id3Tag(3, first + second), ZT("first")},
        {id3Tag(3, Bytes(4, '\0') + be32(3) + be16(0) + "xyz" + second), ZT("second")},
        {id3Tag(3, Bytes(40, '\0') + second), ZT("second")},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(lyricsAndPictureOf(cases[i].bytes).lyrics, cases[i].lyrics) << "case " << i;
}

TEST(Id3Picture, ChoosingTheFrame) {
    const Bytes back = id3Frame(3, "APIC", apicContent(0, 4, kNul, kBack));
    const Bytes front = id3Frame(3, "APIC", apicContent(0, 3, "Cover"s + kNul, kFront));
    const Bytes other = id3Frame(3, "APIC", apicContent(0, 0, kNul, kBack));
    EXPECT_EQ(pictureBytesOf(id3Tag(3, back + front)), kFront);
    EXPECT_EQ(pictureBytesOf(id3Tag(3, other + front)), kBack);  // type 0 counts too
    EXPECT_EQ(pictureBytesOf(id3Tag(3, back)), "<none>");
    EXPECT_EQ(pictureBytesOf(id3Tag(3, Bytes(20, '\0') + front)), kFront);  // after padding
    // Version 2.2: the first PIC, whatever its type.
    EXPECT_EQ(pictureBytesOf(id3Tag(2, id3Frame(2, "PIC", picContent(4, kNul, kBack)) +
                                           id3Frame(2, "PIC", picContent(3, kNul, kFront)))),
              kBack);
    // A UTF-16 description ends at a NUL pair, not at its first zero byte.
    EXPECT_EQ(
        pictureBytesOf(id3Tag(
            3, id3Frame(3, "APIC", apicContent(1, 3, kBomLe + utf16le(u"a") + kNul2, kFront)))),
        kFront);
}

// Unsynchronised as a whole tag (2.3) or as a frame (2.4).
TEST(Id3Picture, UnsynchronisedImagesComeBackWhole) {
    const Bytes lyrics =
        id3Frame(3, "USLT", lyricsContent(1, kBomLe + kNul2, kBomLe + utf16le(u"x")));
    const Bytes tag = id3Tag(
        3, unsynchronise(lyrics + id3Frame(3, "APIC", apicContent(0, 3, kNul, kFront))), 0x80);
    EXPECT_EQ(lyricsAndPictureOf(tag).lyrics, ZT("x"));
    EXPECT_EQ(pictureBytesOf(tag), kFront);
    EXPECT_EQ(pictureBytesOf(id3Tag(
                  4, id3Frame(4, "APIC", unsynchronise(apicContent(0, 3, kNul, kFront)), 0x0002))),
              kFront);
}

TEST(Id3Picture, LocatedWithoutReadingTheImage) {
    const Bytes image = kFront + Bytes(400 * 1024, '\x42');
    const Bytes tag = id3Tag(3, id3Frame(3, "APIC", apicContent(0, 3, kNul, image)) +
                                    id3Frame(3, "USLT", lyricsContent(0, kNul, "words")));
    MemoryFile file(tag + Bytes(1 << 20, '\0'));
    CountingFile counting(file);
    const LyricsAndPicture found = readLyricsAndPicture(counting);
    EXPECT_EQ(found.lyrics, ZT("words"));
    ASSERT_TRUE(found.picture);
    EXPECT_EQ(found.picture->length, image.size());
    EXPECT_LT(counting.bytesRead(), 16u * 1024);
    EXPECT_EQ(readPictureBytes(file, *found.picture), image);
}

}  // namespace
}  // namespace zav2
