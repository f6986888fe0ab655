// Real files written by ffmpeg (tools/make-tag-media) give the titles and
// covers ffmpeg was asked to store.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/file.h"
#include "tags/tags.h"

namespace zav2 {
namespace {

struct Expected {
    std::string file;
    std::string title;
    std::string cover;  // "-" when none is stored
};

std::vector<Expected> expectedFiles() {
    std::vector<Expected> rows;
    std::ifstream list(std::string(ZAV2_TAG_MEDIA) + "/expected.tsv");
    std::string line;
    while (std::getline(list, line)) {
        std::istringstream fields(line);
        Expected row;
        std::getline(fields, row.file, '\t');
        std::getline(fields, row.title, '\t');
        std::getline(fields, row.cover, '\t');
        rows.push_back(row);
    }
    return rows;
}

String mediaPath(const std::string& name) {
    return utf8ToUtf16(std::string(ZAV2_TAG_MEDIA) + "/" + name);
}

TEST(FfmpegMedia, TitlesAndCoversAsWritten) {
    const std::vector<Expected> rows = expectedFiles();
    ASSERT_GE(rows.size(), 15u);
    for (const Expected& row : rows) {
        SCOPED_TRACE(row.file);
        EXPECT_EQ(utf16ToUtf8(readTitle(mediaPath(row.file))), row.title);
        if (row.cover == "-")
            continue;
        const LyricsAndPicture found = readLyricsAndPicture(mediaPath(row.file));
        ASSERT_TRUE(found.picture);
        EXPECT_EQ(readPictureBytes(mediaPath(row.file), *found.picture),
                  readWholeFile(mediaPath(row.cover), 1 << 20));
    }
}

std::string describe(const ReplayGainTags& gain) {
    std::ostringstream out;
    for (const auto& value : {gain.trackGain, gain.trackPeak, gain.albumGain, gain.albumPeak}) {
        if (value)
            out << *value << '\t';
        else
            out << "-\t";
    }
    return out.str();
}

TEST(FfmpegMedia, GainsAsWritten) {
    std::ifstream list(std::string(ZAV2_TAG_MEDIA) + "/gain.tsv");
    std::string line;
    int rows = 0;
    while (std::getline(list, line)) {
        const size_t tab = line.find('\t');
        const TitleAndGain found = readTitleAndGain(mediaPath(line.substr(0, tab)));
        EXPECT_EQ(describe(found.gain), line.substr(tab + 1) + "\t") << line;
        ++rows;
    }
    EXPECT_GE(rows, 6);
}

}  // namespace
}  // namespace zav2
