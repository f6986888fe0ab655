// Real files written by ffmpeg (tools/make-tag-media) give the titles, covers
// and gains ffmpeg was asked to store.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/file.h"
#include "tags/tags.h"

namespace zav2 {
namespace {

// The lines of a list the script wrote, split at tabs.
std::vector<std::vector<std::string>> rowsOf(const std::string& list) {
    std::ifstream in(std::string(ZAV2_TAG_MEDIA) + "/" + list);
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        rows.emplace_back();
        for (std::string field; std::getline(fields, field, '\t');)
            rows.back().push_back(field);
    }
    return rows;
}

String mediaPath(const std::string& name) {
    return utf8ToUtf16(std::string(ZAV2_TAG_MEDIA) + "/" + name);
}

// Rows: file, title, cover file or "-".
TEST(FfmpegMedia, TitlesAndCoversAsWritten) {
    const auto rows = rowsOf("expected.tsv");
    ASSERT_GE(rows.size(), 15u);
    for (const auto& row : rows) {
        SCOPED_TRACE(row[0]);
        ASSERT_EQ(row.size(), 3u);
        EXPECT_EQ(utf16ToUtf8(readTitle(mediaPath(row[0]))), row[1]);
        if (row[2] == "-")
            continue;
        const LyricsAndPicture found = readLyricsAndPicture(mediaPath(row[0]));
        ASSERT_TRUE(found.picture);
        EXPECT_EQ(readPictureBytes(mediaPath(row[0]), *found.picture),
                  readWholeFile(mediaPath(row[2]), 1 << 20));
    }
}

// Rows: file, then track gain and peak, album gain and peak, "-" for none.
TEST(FfmpegMedia, GainsAsWritten) {
    const auto rows = rowsOf("gain.tsv");
    EXPECT_GE(rows.size(), 6u);
    for (const auto& row : rows) {
        ASSERT_EQ(row.size(), 5u) << row[0];
        const ReplayGainTags gain = readTitleAndGain(mediaPath(row[0])).gain;
        const std::optional<double> values[] = {gain.trackGain, gain.trackPeak, gain.albumGain,
                                                gain.albumPeak};
        for (size_t i = 0; i < 4; ++i) {
            std::ostringstream text;
            if (values[i])
                text << *values[i];
            else
                text << '-';
            EXPECT_EQ(text.str(), row[i + 1]) << row[0] << ", field " << i + 1;
        }
    }
}

}  // namespace
}  // namespace zav2
