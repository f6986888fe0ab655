// The path-taking entry points: the choice of reader by extension, and files
// that cannot be read.
#include <gtest/gtest.h>

#include "scratch_folder.h"
#include "tag_builders.h"
#include "tags/tags.h"

namespace zav2 {
namespace {

using namespace build;

// Lower-case .mp3, .ogg, .m4a and .wma, and an .m4a renamed .mp4, are among
// the files ffmpeg writes (media_test.cpp).
TEST(TagFiles, ReaderChosenByExtension) {
    const test::ScratchFolder folder("tags");
    const Bytes mp3 = id3Tag(3, id3Frame(3, "TIT2", id3Text(0, "mp3 title")));
    const Bytes flac = flacFile({{4, vorbisComments("", {"TITLE=flac title"})}});
    EXPECT_EQ(readTitle(folder.write("b.MP3", mp3)), ZT("mp3 title"));
    EXPECT_EQ(readTitle(folder.write("c.fla", flac)), ZT("flac title"));
    EXPECT_EQ(readTitle(folder.write("d.FLAC", flac)), ZT("flac title"));
    EXPECT_EQ(readTitle(folder.write("h.rm", realMedia({realContent("rm")}))), ZT("rm"));
    EXPECT_EQ(readTitle(folder.write("i.ra", realAudio4("ra"))), ZT("ra"));
    // Tags in files of other kinds are not looked at.
    EXPECT_EQ(readTitle(folder.write("k.wmv", asfFile({asfContentDescription(utf16le(u"wmv"))}))),
              ZT(""));
    EXPECT_EQ(readTitle(folder.write("l.wav", mp3)), ZT(""));
    // A FLAC file named .ogg is read as Ogg, and has no title then.
    EXPECT_EQ(readTitle(folder.write("m.ogg", flac)), ZT(""));
    EXPECT_EQ(readTitle(folder.path("missing.mp3")), ZT(""));
    EXPECT_EQ(readTitle(folder.path("")), ZT(""));
}

// Covers read from .mp3 files by path are checked against ffmpeg's files.
TEST(TagFiles, LyricsAndPictureOnlyFromMp3) {
    const test::ScratchFolder folder("tags");
    const Bytes image = "\x89PNG\r\n\x1A\n picture bytes";
    const Bytes tag =
        id3Tag(3, id3Frame(3, "USLT", lyricsContent(1, kBomLe + kNul2, kBomLe + utf16le(u"詞"))) +
                      id3Frame(3, "APIC", apicContent(0, 3, kNul, image)));
    const LyricsAndPicture found = readLyricsAndPicture(folder.write("song.mp3", tag));
    ASSERT_TRUE(found.picture);
    const LyricsAndPicture wav = readLyricsAndPicture(folder.write("song.wav", tag));
    EXPECT_FALSE(wav.lyrics);
    EXPECT_FALSE(wav.picture);
    // A picture past the end of a file that shrank since.
    EXPECT_FALSE(readPictureBytes(folder.write("song.mp3", "ID3"), *found.picture));
}

}  // namespace
}  // namespace zav2
