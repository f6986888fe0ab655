// Titles of FLAC, Ogg Vorbis, MP4, ASF and RealMedia files, and what every
// reader leaves unread.
#include <gtest/gtest.h>

#include "tag_builders.h"
#include "test_support.h"

namespace zav2 {
namespace {

using namespace build;
using namespace std::string_literals;
using test::bytesReadBy;
using test::titleOf;

const Bytes kCover = Bytes(300 * 1024, '\x77');

// Covers, pictures and media data ahead of the title are jumped over, not read.
TEST(TitleReaders, LargeDataBeforeTheTitleIsNotRead) {
    const Bytes mediaData = be32(1) + "mdat" + be64((3 << 20) + 16) + Bytes(3 << 20, '\0');
    const struct {
        TitleReader reader;
        Bytes bytes;
        uint64_t limit;
    } cases[] = {
        {readId3Title,
         id3Tag(3, id3Frame(3, "APIC", apicContent(0, 3, kNul, kCover)) +
                       id3Frame(3, "TIT2", id3Text(0, "title"))) +
             Bytes(3 << 20, '\0'),
         16 * 1024},
        {readFlacTitle,
         flacFile({{6, kCover}, {4, vorbisComments("", {"TITLE=title"})}}, Bytes(2 << 20, '\0')),
         16 * 1024},
        // A cover comment spreads the packet over many pages; the page headers
        // inside it are not part of the comments.
        {readOggTitle, oggVorbisFile({"METADATA_BLOCK_PICTURE=" + kCover, "TITLE=title"}, 17),
         64 * 1024},
        // 64-bit size for the media data, as large recordings have.
        {readMp4Title, ftyp("M4A ") + atom("free", "") + mediaData + mp4TitleMoov("title"),
         16 * 1024},
    };
    for (const auto& c : cases) {
        String title;
        EXPECT_LT(bytesReadBy(c.reader, c.bytes, &title), c.limit);
        EXPECT_EQ(title, ZT("title"));
    }
}

TEST(FlacTitle, TitleCommentInAnyCase) {
    // TITLESORT and the like are other fields, not titles.
    EXPECT_EQ(
        titleOf(readFlacTitle, flacFile({{4, vorbisComments("", {"TITLESORT=x", "TITLE=y"})}})),
        ZT("y"));
    EXPECT_EQ(titleOf(readFlacTitle,
                      "FLAC"s + flacFile({{4, vorbisComments("", {"TITLE=y"})}}).substr(4)),
              ZT("y"));
    EXPECT_EQ(titleOf(readFlacTitle, flacFile({{4, vorbisComments("", {"TITLE=\xFF"})}})),
              ZT("\xFFFD"));
}

TEST(FlacTitle, MissingComments) {
    const Bytes comments = vorbisComments("ref", {"TITLE=After picture"});
    // The block marked last ends the search.
    Bytes lastFirst = flacFile({{1, Bytes(10, '\0')}, {4, comments}});
    lastFirst[4 + 38] = static_cast<char>(0x81);
    EXPECT_EQ(titleOf(readFlacTitle, lastFirst), ZT(""));
    // A comment running past its block is not read.
    Bytes overlong = flacFile({{4, vorbisComments("", {"TITLE=abc"})}});
    overlong.resize(overlong.size() - 2);
    EXPECT_EQ(titleOf(readFlacTitle, overlong), ZT(""));
}

TEST(OggTitle, NoCommentsNoTitle) {
    const Bytes noCount = oggStream(
        7, {vorbisIdentification(), vorbisCommentPacket("v", {"TITLE=x"}, 0), vorbisSetup()});
    EXPECT_EQ(titleOf(readOggTitle, noCount), ZT(""));
    // Other Ogg streams (Opus here) have no Vorbis comment packet.
    const Bytes opus = oggStream(
        9, {"OpusHead"s + Bytes(11, '\1'), "OpusTags"s + le32(0) + le32(1) + le32(7) + "TITLE=x"});
    EXPECT_EQ(titleOf(readOggTitle, opus), ZT(""));
}

TEST(OggTitle, TitleAcrossAPageBoundary) {
    EXPECT_EQ(titleOf(readOggTitle, oggVorbisFile({"A=" + Bytes(250, 'a'), "TITLE=split"}, 1)),
              ZT("split"));
}

TEST(OggTitle, VorbisStreamAmongOthers) {
    // Streams begin with their first pages together; the Vorbis one may be second.
    const Bytes other = oggPage(1, 0, 0x02, {30}, "\x80theora"s + Bytes(23, '\0'));
    const Bytes vorbis = oggVorbisFile({"TITLE=second stream"}, 255, 2);
    const Bytes foreign = oggPage(1, 1, 0, {10}, Bytes(10, 'T'));
    // Vorbis BOS page, then a foreign page between its header pages.
    const size_t firstPageEnd = 27 + 1 + vorbisIdentification().size();
    const Bytes mixed =
        other + vorbis.substr(0, firstPageEnd) + foreign + vorbis.substr(firstPageEnd);
    EXPECT_EQ(titleOf(readOggTitle, mixed), ZT("second stream"));
}

TEST(Mp4Title, PathToTheNameAtom) {
    const Bytes moov = mp4TitleMoov(utf8(u8"タイトル"), atom("trak", Bytes(500, '\0')));
    EXPECT_EQ(titleOf(readMp4Title, ftyp("M4B ") + moov), ZT(""));
    EXPECT_EQ(titleOf(readMp4Title, moov), ZT("タイトル"));  // no ftyp: nothing to check
    // The udta of another movie atom's child does not count.
    const Bytes nested = atom("moov", atom("trak", atom("udta", Bytes(20, '\0'))));
    EXPECT_EQ(titleOf(readMp4Title, ftyp("M4A ") + nested + atom("udta", "x")), ZT(""));
}

TEST(Mp4Title, MediaDataOfSizeZeroRunsToTheEnd) {
    EXPECT_EQ(titleOf(readMp4Title, ftyp("M4A ") + be32(0) + "mdat" + mp4TitleMoov("hidden")),
              ZT(""));
}

TEST(AsfTitle, OnlyTheCountedContentDescription) {
    const Bytes title = utf16le(u"ウィンドウズ") + kNul2;
    const Bytes properties = asfObject(kAsfFilePropertiesGuid, Bytes(80, '\0'));
    EXPECT_EQ(titleOf(readAsfTitle, asfFile({properties})), ZT(""));
    // Only the counted objects inside the header object are looked at.
    Bytes uncounted = asfFile({properties, asfContentDescription(title)});
    uncounted[24] = 1;
    EXPECT_EQ(titleOf(readAsfTitle, uncounted), ZT(""));
    const Bytes zeroSize = kAsfFilePropertiesGuid + le64(0);
    EXPECT_EQ(titleOf(readAsfTitle, asfFile({zeroSize, asfContentDescription(title)})), ZT(""));
}

TEST(RealTitle, OtherVersionsAndChunks) {
    EXPECT_EQ(titleOf(readRealTitle, realAudio4("v3", 3)), ZT(""));
    const Bytes props = realChunk("PROP", Bytes(40, '\0'));
    EXPECT_EQ(titleOf(readRealTitle, realMedia({props, realChunk("DATA", "")})), ZT(""));
    // A chunk of size 0 ends the walk instead of repeating it.
    const Bytes stuck = "PROP"s + be32(0) + be16(0);
    EXPECT_EQ(titleOf(readRealTitle, realMedia({stuck, realContent("x")})), ZT(""));
    EXPECT_EQ(titleOf(readRealTitle, ".rmf"s + realMedia({realContent("x")}).substr(4)), ZT(""));
}

}  // namespace
}  // namespace zav2
