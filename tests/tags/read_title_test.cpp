// The path-taking entry points: the choice of reader by extension, and files
// that cannot be read.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file.h"
#include "tag_builders.h"
#include "tags/tags.h"

namespace zav2 {
namespace {

using namespace build;

class TagFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ =
            std::filesystem::temp_directory_path() /
            ("zav2_tags_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    String write(const std::string& name, const Bytes& bytes) {
        const String path = utf8ToUtf16((folder_ / name).string());
        EXPECT_TRUE(writeFileReplacing(path, bytes));
        return path;
    }
    std::filesystem::path folder_;
};

// Lower-case .mp3, .ogg, .m4a and .wma, and an .m4a renamed .mp4, are among
// the files ffmpeg writes (media_test.cpp).
TEST_F(TagFiles, ReaderChosenByExtension) {
    const Bytes mp3 = id3Tag(3, id3Frame(3, "TIT2", id3Text(0, "mp3 title")));
    const Bytes flac = flacFile({{4, vorbisComments("", {"TITLE=flac title"})}});
    EXPECT_EQ(readTitle(write("b.MP3", mp3)), ZT("mp3 title"));
    EXPECT_EQ(readTitle(write("c.fla", flac)), ZT("flac title"));
    EXPECT_EQ(readTitle(write("d.FLAC", flac)), ZT("flac title"));
    EXPECT_EQ(readTitle(write("h.rm", realMedia({realContent("rm")}))), ZT("rm"));
    EXPECT_EQ(readTitle(write("i.ra", realAudio4("ra"))), ZT("ra"));
    // Tags in files of other kinds are not looked at.
    EXPECT_EQ(readTitle(write("k.wmv", asfFile({asfContentDescription(utf16le(u"wmv"))}))), ZT(""));
    EXPECT_EQ(readTitle(write("l.wav", mp3)), ZT(""));
    // A FLAC file named .ogg is read as Ogg, and has no title then.
    EXPECT_EQ(readTitle(write("m.ogg", flac)), ZT(""));
    EXPECT_EQ(readTitle(utf8ToUtf16((folder_ / "missing.mp3").string())), ZT(""));
    EXPECT_EQ(readTitle(utf8ToUtf16(folder_.string())), ZT(""));
}

// Covers read from .mp3 files by path are checked against ffmpeg's files.
TEST_F(TagFiles, LyricsAndPictureOnlyFromMp3) {
    const Bytes image = "\x89PNG\r\n\x1A\n picture bytes";
    const Bytes tag =
        id3Tag(3, id3Frame(3, "USLT", lyricsContent(1, kBomLe + kNul2, kBomLe + utf16le(u"詞"))) +
                      id3Frame(3, "APIC", apicContent(0, 3, kNul, image)));
    const LyricsAndPicture found = readLyricsAndPicture(write("song.mp3", tag));
    ASSERT_TRUE(found.picture);
    const LyricsAndPicture wav = readLyricsAndPicture(write("song.wav", tag));
    EXPECT_FALSE(wav.lyrics);
    EXPECT_FALSE(wav.picture);
    // A picture past the end of a file that shrank since.
    EXPECT_FALSE(readPictureBytes(write("song.mp3", "ID3"), *found.picture));
}

}  // namespace
}  // namespace zav2
