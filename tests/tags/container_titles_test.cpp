// Titles of FLAC, Ogg Vorbis, MP4, ASF and RealMedia files.
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

TEST(FlacTitle, TitleCommentInAnyCase) {
    const Bytes comments =
        vorbisComments("ref", {"ARTIST=a", "title=" + utf8(u8"曲名"), "TITLE=b"});
    EXPECT_EQ(titleOf(readFlacTitle, flacFile({{4, comments}})), ZT("曲名"));
    // TITLESORT and the like are other fields, not titles.
    EXPECT_EQ(
        titleOf(readFlacTitle, flacFile({{4, vorbisComments("", {"TITLESORT=x", "TITLE=y"})}})),
        ZT("y"));
    EXPECT_EQ(titleOf(readFlacTitle, "FLAC"s + flacFile({{4, comments}}).substr(4)), ZT("曲名"));
    EXPECT_EQ(titleOf(readFlacTitle, flacFile({{4, vorbisComments("", {"TITLE=\xFF"})}})),
              ZT("\xFFFD"));
}

TEST(FlacTitle, BlocksBeforeAndMissingComments) {
    const Bytes comments = vorbisComments("ref", {"TITLE=After picture"});
    String title;
    const uint64_t read = bytesReadBy(
        readFlacTitle, flacFile({{6, kCover}, {4, comments}}, Bytes(2 << 20, '\0')), &title);
    EXPECT_EQ(title, ZT("After picture"));
    EXPECT_LT(read, 16u * 1024);
    // The block marked last ends the search.
    Bytes lastFirst = flacFile({{1, Bytes(10, '\0')}, {4, comments}});
    lastFirst[4 + 38] = static_cast<char>(0x81);
    EXPECT_EQ(titleOf(readFlacTitle, lastFirst), ZT(""));
    // A comment running past its block is not read.
    Bytes overlong = flacFile({{4, vorbisComments("", {"TITLE=abc"})}});
    overlong.resize(overlong.size() - 2);
    EXPECT_EQ(titleOf(readFlacTitle, overlong), ZT(""));
}

TEST(OggTitle, OnlyUpperCaseTitle) {
    EXPECT_EQ(titleOf(readOggTitle, oggVorbisFile({"title=lower"})), ZT(""));
    EXPECT_EQ(titleOf(readOggTitle, oggVorbisFile({"title=lower", "TITLE=" + utf8(u8"題")})),
              ZT("題"));
    const Bytes noCount = oggStream(
        7, {vorbisIdentification(), vorbisCommentPacket("v", {"TITLE=x"}, 0), vorbisSetup()});
    EXPECT_EQ(titleOf(readOggTitle, noCount), ZT(""));
    // Other Ogg streams (Opus here) have no Vorbis comment packet.
    const Bytes opus = oggStream(
        9, {"OpusHead"s + Bytes(11, '\1'), "OpusTags"s + le32(0) + le32(1) + le32(7) + "TITLE=x"});
    EXPECT_EQ(titleOf(readOggTitle, opus), ZT(""));
}

TEST(OggTitle, CommentPacketAcrossPages) {
    // A cover comment ahead of the title spreads the packet over many pages;
    // the page headers inside it are not part of the comments.
    const Bytes picture = "METADATA_BLOCK_PICTURE=" + kCover;
    String title;
    const uint64_t read = bytesReadBy(
        readOggTitle, oggVorbisFile({picture, "TITLE=" + utf8(u8"後の題")}, 17), &title);
    EXPECT_EQ(title, ZT("後の題"));
    EXPECT_LT(read, 64u * 1024);
    // The title split across a page boundary.
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
    EXPECT_EQ(titleOf(readMp4Title, ftyp("M4A ") + moov), ZT("タイトル"));
    EXPECT_EQ(titleOf(readMp4Title, ftyp("M4B ") + moov), ZT(""));
    EXPECT_EQ(titleOf(readMp4Title, ftyp("mp42") + moov), ZT(""));
    EXPECT_EQ(titleOf(readMp4Title, moov), ZT("タイトル"));  // no ftyp: nothing to check
    // The udta of another movie atom's child does not count.
    const Bytes nested = atom("moov", atom("trak", atom("udta", Bytes(20, '\0'))));
    EXPECT_EQ(titleOf(readMp4Title, ftyp("M4A ") + nested + atom("udta", "x")), ZT(""));
}

TEST(Mp4Title, MovieAfterLargeMediaData) {
    const Bytes head = ftyp("M4A ") + atom("free", "");
    // 64-bit size for the media data, as large recordings have.
    const uint64_t mediaLength = 3 << 20;
    const Bytes media = be32(1) + "mdat" + be64(mediaLength + 16) + Bytes(mediaLength, '\0');
    String title;
    const uint64_t read =
        bytesReadBy(readMp4Title, head + media + mp4TitleMoov("Late moov"), &title);
    EXPECT_EQ(title, ZT("Late moov"));
    EXPECT_LT(read, 16u * 1024);
    // Size 0: the atom runs to the end of the file, so nothing follows it.
    EXPECT_EQ(titleOf(readMp4Title, head + be32(0) + "mdat" + mp4TitleMoov("hidden")), ZT(""));
}

TEST(AsfTitle, ContentDescriptionTitle) {
    const Bytes title = utf16le(u"ウィンドウズ") + kNul2;
    const Bytes properties = asfObject(kAsfFilePropertiesGuid, Bytes(80, '\0'));
    EXPECT_EQ(titleOf(readAsfTitle, asfFile({properties, asfContentDescription(title)})),
              ZT("ウィンドウズ"));
    // The stored length counts: an empty title is not the author.
    EXPECT_EQ(
        titleOf(readAsfTitle, asfFile({asfContentDescription("", utf16le(u"Author") + kNul2)})),
        ZT(""));
    EXPECT_EQ(titleOf(readAsfTitle, asfFile({properties})), ZT(""));
    // Only the counted objects inside the header object are looked at.
    Bytes uncounted = asfFile({properties, asfContentDescription(title)});
    uncounted[24] = 1;
    EXPECT_EQ(titleOf(readAsfTitle, uncounted), ZT(""));
    const Bytes zeroSize = kAsfFilePropertiesGuid + le64(0);
    EXPECT_EQ(titleOf(readAsfTitle, asfFile({zeroSize, asfContentDescription(title)})), ZT(""));
}

TEST(RealTitle, RealAudioAndRealMedia) {
    EXPECT_EQ(titleOf(readRealTitle, realAudio4("\x83\x8A\x83\x41\x83\x8B")), ZT("リアル"));
    EXPECT_EQ(titleOf(readRealTitle, realAudio4("v3", 3)), ZT(""));
    const Bytes props = realChunk("PROP", Bytes(40, '\0'));
    EXPECT_EQ(titleOf(readRealTitle, realMedia({props, realContent("Media title")})),
              ZT("Media title"));
    EXPECT_EQ(titleOf(readRealTitle, realMedia({props, realChunk("DATA", "")})), ZT(""));
    // A chunk of size 0 ends the walk instead of repeating it.
    const Bytes stuck = "PROP"s + be32(0) + be16(0);
    EXPECT_EQ(titleOf(readRealTitle, realMedia({stuck, realContent("x")})), ZT(""));
    EXPECT_EQ(titleOf(readRealTitle, ".rmf"s + realMedia({realContent("x")}).substr(4)), ZT(""));
}

}  // namespace
}  // namespace zav2
