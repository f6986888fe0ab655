// One small file of each layout the tag readers know, with the title it
// holds: the tests read them whole, cut short and damaged, and they are the
// fuzz targets' seeds.
#pragma once

#include <optional>
#include <vector>

#include "platform/text.h"
#include "tag_builders.h"
#include "tags/readers.h"

namespace zav2::build {

struct TagSample {
    const char* target;  // the fuzz target it seeds
    const char* name;
    TitleReader reader;
    Bytes bytes;
    String title;
    ReplayGainTags gain{};  // what readTitleAndGain finds beside the title
};

inline std::vector<TagSample> tagSamples() {
    using namespace std::string_literals;
    const Bytes title16 = id3Frame(3, "TIT2", id3Text(1, kBomLe + utf16le(u"題名") + kNul2));
    const Bytes cover = id3Frame(3, "APIC", apicContent(0, 3, kNul, "\xFF\xD8\xFF\xE0jpeg"s));
    const Bytes lyrics =
        id3Frame(3, "USLT", lyricsContent(1, kBomLe + kNul2, kBomLe + utf16le(u"詞")));
    const Bytes comments =
        vorbisComments("vendor", {"ARTIST=a", "title=" + utf8(u8"曲"), "TITLE=b"});
    const Bytes noTitle = Bytes(8, '\0');
    const auto txxx = [](int version, char encoding, const Bytes& nameAndValue) {
        return id3Frame(version, version == 2 ? "TXX" : "TXXX", id3Text(encoding, nameAndValue));
    };
    const Bytes gainComments[] = {"REPLAYGAIN_TRACK_GAIN=-7.25 dB", "REPLAYGAIN_TRACK_PEAK=0.5",
                                  "replaygain_album_gain=+2 dB", "REPLAYGAIN_ALBUM_PEAK=1.0625"};
    const ReplayGainTags allFour{-7.25, 0.5, 2, 1.0625};
    return {
        {"id3_title", "v23", readId3Title, id3Tag(3, cover + lyrics + title16 + Bytes(32, '\0')),
         ZT("題名")},
        {"id3_title", "v23-unsync", readId3Title,
         id3Tag(3, unsynchronise(cover + lyrics + title16), 0x80), ZT("題名")},
        {"id3_title", "v23-extended", readId3Title,
         id3Tag(3, be32(6) + Bytes(6, '\0') + title16, 0x40), ZT("題名")},
        // Extended header, whole-tag unsynchronisation, and a title frame
        // unsynchronised on its own with a data length.
        {"id3_title", "v24", readId3Title,
         id3Tag(
             4,
             syncsafe(6) + "\x01\x00"s +
                 id3Frame(4, "APIC", apicContent(3, 0, "d\0"s, "\x89PNG"s)) +
                 id3Frame(4, "USLT", lyricsContent(3, "d\0"s, "la la")) +
                 id3Frame(4, "TIT2", syncsafe(5) + unsynchronise(id3Text(3, "ti\xC3\xBF")), 0x0003),
             0xC0),
         ZT("tiÿ")},
        {"id3_title", "v22", readId3Title,
         id3Tag(2, id3Frame(2, "PIC", picContent(4, kNul, "img")) +
                       id3Frame(2, "ULT", lyricsContent(0, kNul, "words")) +
                       id3Frame(2, "TT2", id3Text(0, "\x93\xFA\x96\x7B"))),
         ZT("日本")},
        // Gain frames before and after the title, in ANSI and UTF-16.
        {"id3_title", "v23-gain", readId3Title,
         id3Tag(3, txxx(3, 0, "REPLAYGAIN_TRACK_GAIN\0-7.25 dB"s) + title16 +
                       txxx(3, 1,
                            kBomLe + utf16le(u"replaygain_track_peak") + kNul2 + kBomLe +
                                utf16le(u"0.5"))),
         ZT("題名"), ReplayGainTags{-7.25, 0.5, {}, {}}},
        {"id3_title", "v22-gain", readId3Title,
         id3Tag(2, id3Frame(2, "TT2", id3Text(0, "t")) +
                       txxx(2, 0, "REPLAYGAIN_ALBUM_GAIN\0+2 dB\0"s)),
         ZT("t"), ReplayGainTags{{}, {}, 2, {}}},
        {"id3_title", "v1", readId3Title, Bytes(64, '\x11') + id3v1("Version one"),
         ZT("Version one")},
        {"flac_title", "comments", readFlacTitle, flacFile({{4, comments}}, "audio"), ZT("曲")},
        {"flac_title", "picture-first", readFlacTitle,
         flacFile({{6, Bytes(200, 'p')}, {1, noTitle}, {4, comments}}), ZT("曲")},
        {"flac_title", "gain", readFlacTitle,
         flacFile({{4, vorbisComments("v", {gainComments[0], gainComments[1], "TITLE=g",
                                            gainComments[2], gainComments[3]})}}),
         ZT("g"), allFour},
        {"ogg_title", "one-page", readOggTitle, oggVorbisFile({"TITLE=" + utf8(u8"題")}), ZT("題")},
        // Only the upper-case key names the title in Ogg.
        {"ogg_title", "many-pages", readOggTitle,
         oggVorbisFile({Bytes(700, 'c'), "title=x", "TITLE=y"}, 2), ZT("y")},
        {"ogg_title", "two-streams", readOggTitle,
         oggPage(1, 0, 0x02, {8}, "\x80theora\0"s) + oggVorbisFile({"TITLE=second"}, 255, 2),
         ZT("second")},
        {"ogg_title", "vorbis-gain", readOggTitle,
         oggVorbisFile(
             {"TITLE=g", gainComments[0], gainComments[1], gainComments[2], gainComments[3]}),
         ZT("g"), allFour},
        // Opus gains: Q7.8 dB towards -23 LUFS; no tag title.
        {"ogg_title", "opus-gain", readOggTitle,
         oggOpusFile({"TITLE=x", "R128_TRACK_GAIN=-1280", "R128_ALBUM_GAIN=384"}), ZT(""),
         ReplayGainTags{0, {}, 6.5, {}}},
        {"mp4_title", "moov-first", readMp4Title,
         ftyp("M4A ") + mp4TitleMoov(utf8(u8"タイトル"), atom("trak", Bytes(40, '\0'))) +
             atom("mdat", Bytes(64, '\0')),
         ZT("タイトル")},
        {"mp4_title", "moov-last", readMp4Title,
         ftyp("M4A ") + be32(1) + "mdat"s + be64(16 + 64) + Bytes(64, '\0') + mp4TitleMoov("late"),
         ZT("late")},
        {"mp4_title", "other-brand", readMp4Title, ftyp("mp42") + mp4TitleMoov("x"), ZT("")},
        {"mp4_title", "gain", readMp4Title,
         ftyp("M4A ") + mp4TitleMoov("m", "",
                                     mp4Freeform("replaygain_track_gain", "-7.25 dB") +
                                         mp4Freeform("replaygain_track_peak", "0.5") +
                                         mp4Freeform("REPLAYGAIN_ALBUM_GAIN", "+2 dB") +
                                         mp4Freeform("replaygain_album_peak", "1.0625")),
         ZT("m"), allFour},
        {"asf_title", "gain", readAsfTitle,
         asfFile({asfExtendedContent({{u"WM/AlbumTitle", u"A"},
                                      {u"REPLAYGAIN_TRACK_GAIN", u"-7.25 dB"},
                                      {u"REPLAYGAIN_TRACK_PEAK", u"0.5"}}),
                  asfContentDescription(utf16le(u"w") + kNul2),
                  asfExtendedContent({{u"replaygain_album_gain", u"+2 dB"},
                                      {u"REPLAYGAIN_ALBUM_PEAK", u"1.0625"}})}),
         ZT("w"), allFour},
        {"asf_title", "title", readAsfTitle,
         asfFile({asfObject(kAsfFilePropertiesGuid, Bytes(40, '\0')),
                  asfContentDescription(utf16le(u"題") + kNul2, utf16le(u"A") + kNul2)}),
         ZT("題")},
        // The stored length counts: an empty title is not the author.
        {"asf_title", "no-title", readAsfTitle,
         asfFile({asfContentDescription("", utf16le(u"Author") + kNul2)}), ZT("")},
        {"real_title", "ra4", readRealTitle, realAudio4("Real audio"), ZT("Real audio")},
        {"real_title", "rmf", readRealTitle,
         realMedia({realChunk("PROP", Bytes(40, '\0')), realContent("\x83\x8A\x83\x41")}),
         ZT("リア")},
    };
}

}  // namespace zav2::build
