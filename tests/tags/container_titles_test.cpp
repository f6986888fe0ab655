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

TEST(TitleReaders, LayoutsSeenThroughOrRefused) {
    const Bytes commentsAbc = vorbisComments("", {"TITLE=abc"});
    // A FLAC block marked last ends the search; a comment running past its
    // block is not read.
    Bytes flacLastFirst = flacFile({{1, Bytes(10, '\0')}, {4, commentsAbc}});
    flacLastFirst[4 + 38] = static_cast<char>(0x81);
    Bytes flacOverlong = flacFile({{4, commentsAbc}});
    flacOverlong.resize(flacOverlong.size() - 2);
    // Ogg streams begin with their first pages together; the Vorbis one may be
    // second, with a foreign page between its header pages.
    const Bytes vorbis = oggVorbisFile({"TITLE=second stream"}, 255, 2);
    const size_t firstPageEnd = 27 + 1 + vorbisIdentification().size();
    const Bytes oggMixed = oggPage(1, 0, 0x02, {30}, "\x80theora"s + Bytes(23, '\0')) +
                           vorbis.substr(0, firstPageEnd) + oggPage(1, 1, 0, {10}, Bytes(10, 'T')) +
                           vorbis.substr(firstPageEnd);
    const Bytes moov = mp4TitleMoov(utf8(u8"タイトル"), atom("trak", Bytes(500, '\0')));
    // Only the counted ASF objects inside the header object are looked at.
    const Bytes asfTitle = utf16le(u"ウィンドウズ") + kNul2;
    const Bytes asfProperties = asfObject(kAsfFilePropertiesGuid, Bytes(80, '\0'));
    Bytes asfUncounted = asfFile({asfProperties, asfContentDescription(asfTitle)});
    asfUncounted[24] = 1;
    const struct {
        TitleReader reader;
        Bytes bytes;
        String title;
    } cases[] = {
        // FLAC: TITLESORT and the like are other fields, not titles.
        {readFlacTitle, flacFile({{4, vorbisComments("", {"TITLESORT=x", "TITLE=y"})}}), ZT("y")},
        {readFlacTitle, "FLAC"s + flacFile({{4, commentsAbc}}).substr(4), ZT("abc")},
        {readFlacTitle, flacFile({{4, vorbisComments("", {"TITLE=\xFF"})}}), ZT("\xFFFD")},
        {readFlacTitle, flacLastFirst, ZT("")},
        {readFlacTitle, flacOverlong, ZT("")},
        // Ogg: a comment count of 0; Opus has no Vorbis comment packet; a title
        // split across a page boundary.
        {readOggTitle,
         oggStream(
             7, {vorbisIdentification(), vorbisCommentPacket("v", {"TITLE=x"}, 0), vorbisSetup()}),
         ZT("")},
        {readOggTitle,
         oggStream(9, {"OpusHead"s + Bytes(11, '\1'),
                       "OpusTags"s + le32(0) + le32(1) + le32(7) + "TITLE=x"}),
         ZT("")},
        {readOggTitle, oggVorbisFile({"A=" + Bytes(250, 'a'), "TITLE=split"}, 1), ZT("split")},
        {readOggTitle, oggMixed, ZT("second stream")},
        // MP4: another brand; no ftyp, so nothing to check; the udta of a
        // movie atom's child does not count; media data of size 0 runs to the
        // end, so nothing follows it.
        {readMp4Title, ftyp("M4B ") + moov, ZT("")},
        {readMp4Title, moov, ZT("タイトル")},
        {readMp4Title,
         ftyp("M4A ") + atom("moov", atom("trak", atom("udta", Bytes(20, '\0')))) +
             atom("udta", "x"),
         ZT("")},
        {readMp4Title, ftyp("M4A ") + be32(0) + "mdat" + mp4TitleMoov("hidden"), ZT("")},
        // ASF: no content description; uncounted; an object of size 0.
        {readAsfTitle, asfFile({asfProperties}), ZT("")},
        {readAsfTitle, asfUncounted, ZT("")},
        {readAsfTitle, asfFile({kAsfFilePropertiesGuid + le64(0), asfContentDescription(asfTitle)}),
         ZT("")},
        // RealMedia: RealAudio 3; no CONT chunk; a chunk of size 0 ends the
        // walk instead of repeating it; a lower-case magic.
        {readRealTitle, realAudio4("v3", 3), ZT("")},
        {readRealTitle, realMedia({realChunk("PROP", Bytes(40, '\0')), realChunk("DATA", "")}),
         ZT("")},
        {readRealTitle, realMedia({"PROP"s + be32(0) + be16(0), realContent("x")}), ZT("")},
        {readRealTitle, ".rmf"s + realMedia({realContent("x")}).substr(4), ZT("")},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(titleOf(cases[i].reader, cases[i].bytes), cases[i].title) << "case " << i;
}

}  // namespace
}  // namespace zav2
