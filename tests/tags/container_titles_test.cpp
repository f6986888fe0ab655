// Titles of FLAC, Ogg Vorbis, MP4, ASF and RealMedia files, and what every
// reader leaves unread.
#include <gtest/gtest.h>

#include "tag_builders.h"
#include "test_support.h"

namespace zav2 {
namespace {

using namespace build;
using namespace std::string_literals;
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
        MemoryFile file(c.bytes);
        CountingFile counting(file);
        EXPECT_EQ(c.reader(counting, nullptr), ZT("title"));
        EXPECT_LT(counting.bytesRead(), c.limit);
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
        {readFlacTitle, flacLastFirst, ZT("")},
        {readFlacTitle, flacOverlong, ZT("")},
        // Ogg: a comment count of 0; a title split across a page boundary.
        {readOggTitle,
         oggStream(
             7, {vorbisIdentification(), vorbisCommentPacket("v", {"TITLE=x"}, 0), vorbisSetup()}),
         ZT("")},
        {readOggTitle, oggVorbisFile({"A=" + Bytes(250, 'a'), "TITLE=split"}, 1), ZT("split")},
        {readOggTitle, oggMixed, ZT("second stream")},
        // MP4: no ftyp, so nothing to check; the udta of a movie atom's child
        // does not count; media data of size 0 runs to the end, so nothing
        // follows it.
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

TEST(TitleReaders, GainFieldsOfEachFormat) {
    const auto gain = [](std::optional<double> trackGain, std::optional<double> trackPeak) {
        return ReplayGainTags{trackGain, trackPeak, {}, {}};
    };
    const auto flacTrackGain = [](const Bytes& text) {
        return flacFile({{4, vorbisComments("", {"REPLAYGAIN_TRACK_GAIN=" + text})}});
    };
    const struct {
        TitleReader reader;
        Bytes bytes;
        ReplayGainTags gain;
    } cases[] = {
        // Gain texts as taggers write them are taken; anything else is not a
        // number, nor is a value too long to be one.
        {readFlacTitle, flacTrackGain("-6.50 dB"), gain(-6.5, {})},
        {readFlacTitle, flacTrackGain(" +1.25db "), gain(1.25, {})},
        {readFlacTitle, flacTrackGain("3"), gain(3, {})},
        {readFlacTitle, flacTrackGain("-.5 DB"), gain(-0.5, {})},
        {readFlacTitle, flacTrackGain("-"), gain({}, {})},
        {readFlacTitle, flacTrackGain("."), gain({}, {})},
        {readFlacTitle, flacTrackGain("1e3"), gain({}, {})},
        {readFlacTitle, flacTrackGain("6 dBm"), gain({}, {})},
        {readFlacTitle, flacTrackGain(Bytes(60, ' ') + "1"), gain({}, {})},
        // A peak has no unit; the first field of a kind counts.
        {readFlacTitle,
         flacFile(
             {{4, vorbisComments("", {"REPLAYGAIN_TRACK_PEAK=0.5 dB", "REPLAYGAIN_TRACK_GAIN=-1",
                                      "REPLAYGAIN_TRACK_GAIN=-2"})}}),
         gain(-1, {})},
        // Opus: only whole Q7.8 numbers, only the R128 names.
        {readOggTitle,
         oggOpusFile(
             {"R128_TRACK_GAIN=12.5", "R128_ALBUM_GAIN=40000", "REPLAYGAIN_TRACK_PEAK=0.5"}),
         gain({}, {})},
        {readOggTitle, oggOpusFile({"R128_TRACK_GAIN=-32768"}), gain(-123, {})},
        // MP4: only the iTunes freeform names.
        {readMp4Title,
         ftyp("M4A ") + mp4TitleMoov("t", "",
                                     mp4Freeform("replaygain_track_gain", "-3", "org.x") +
                                         mp4Freeform("replaygain_track_peak", "0.25")),
         gain({}, 0.25)},
        // ID3: a frame whose name has no terminator; UTF-16BE names (2.4).
        {readId3Title, id3Tag(3, id3Frame(3, "TXXX", id3Text(0, "REPLAYGAIN_TRACK_GAIN"))),
         gain({}, {})},
        {readId3Title,
         id3Tag(4,
                id3Frame(4, "TXXX",
                         id3Text(2, utf16be(u"REPLAYGAIN_TRACK_GAIN") + kNul2 + utf16be(u"-4")))),
         gain(-4, {})},
        // ASF: only text values.
        {readAsfTitle,
         asfFile({asfObject(kAsfExtendedContentGuid, le16(1) + le16(44) +
                                                         utf16le(u"REPLAYGAIN_TRACK_GAIN") + kNul2 +
                                                         le16(3) + le16(4) + le32(5))}),
         gain({}, {})},
        // ASF: a block counting more descriptors than it holds ends with it.
        {readAsfTitle,
         asfFile({asfObject(kAsfExtendedContentGuid, le16(2) + asfDescriptor(u"WM/x", u"a"))},
                 asfDescriptor(u"REPLAYGAIN_TRACK_GAIN", u"-7 dB")),
         gain({}, {})},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(test::gainRead(cases[i].reader, cases[i].bytes), cases[i].gain) << "case " << i;
}

}  // namespace
}  // namespace zav2
