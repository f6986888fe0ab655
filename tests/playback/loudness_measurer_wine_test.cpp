// The loudness measurer against the platform's real decoder under Wine:
// tones written by code measure at their level, silence at none, a file
// measured once is known in the next run, and a file changed since is not.
#include <windows.h>

#include <gtest/gtest.h>
#include <mfapi.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>

#include "playback/loudness_measurer_win.h"
#include "scratch_folder.h"

namespace zav2 {
namespace {

constexpr DWORD kLongWaitMs = 30000;  // only a broken measurer takes this long

// 16-bit stereo PCM at 48 kHz: a 1 kHz sine of `dbfs` peak in both
// channels, which BS.1770 rates at `dbfs` LUFS; silence for -inf.
void writeTone(const String& path, double dbfs, double seconds) {
    constexpr uint32_t kRate = 48000;
    const auto frames = static_cast<uint32_t>(seconds * kRate);
    std::string bytes;
    const auto put = [&bytes](std::initializer_list<std::pair<uint32_t, int>> fields) {
        for (const auto& [value, size] : fields) {
            for (int i = 0; i < size; ++i)
                bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
        }
    };
    // The format chunk: its size, PCM, channels, rate, bytes a second, block
    // size, bits.
    bytes += "RIFF";
    put({{36 + frames * 4, 4}});
    bytes += "WAVEfmt ";
    put({{16, 4}, {1, 2}, {2, 2}, {kRate, 4}, {kRate * 4, 4}, {4, 2}, {16, 2}});
    bytes += "data";
    put({{frames * 4, 4}});
    const double amplitude = std::pow(10.0, dbfs / 20) * 32767;
    for (uint32_t i = 0; i < frames; ++i) {
        const double value = amplitude * std::sin(2 * 3.14159265358979323846 * 1000 * i / kRate);
        const auto sample = static_cast<uint16_t>(static_cast<int16_t>(std::lround(value)));
        put({{sample, 2}, {sample, 2}});
    }
    std::ofstream(std::filesystem::path(path), std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class LoudnessMeasurerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        ASSERT_EQ(MFStartup(MF_VERSION, MFSTARTUP_FULL), S_OK);
    }
    void TearDown() override {
        MFShutdown();
        if (SUCCEEDED(com))
            CoUninitialize();
    }
    const test::ScratchFolder scratch{"loudness"};
    HRESULT com = E_FAIL;
};

TEST_F(LoudnessMeasurerTest, SilenceHasNoLoudness) {
    const String silence = scratch.path("silence.wav");
    writeTone(silence, -HUGE_VAL, 1.0);
    MeasuredLoudness measured;
    EXPECT_TRUE(FAILED(measureLoudness(silence, measured, nullptr)));
}

TEST_F(LoudnessMeasurerTest, AToneMeasuresAtItsLevelAndIsKnownUntilItChanges) {
    const String cacheFile = scratch.path("Zav2.loudness");
    const String song = (scratch.root() / L"曲 1.wav").wstring();
    writeTone(song, -20.0, 1.0);
    {
        LoudnessMeasurer measurer(cacheFile);
        EXPECT_FALSE(measurer.Known(song));
        const std::optional<MeasuredLoudness> now = measurer.MeasureNow(song, kLongWaitMs);
        ASSERT_TRUE(now);
        EXPECT_NEAR(now->lufs, -20.0, 0.5);  // a tone's loudness is its level
        EXPECT_NEAR(now->peak, 0.1, 0.005);
        EXPECT_TRUE(measurer.Known(song));
    }
    // Saved on the way out, known to the next run.
    LoudnessMeasurer next(cacheFile);
    ASSERT_TRUE(next.Known(song));

    writeTone(song, -24.0, 1.5);  // another size
    EXPECT_FALSE(next.Known(song));
    next.MeasureAhead({scratch.path("missing.wav"), song});
    const DWORD start = GetTickCount();
    while (!next.Known(song) && GetTickCount() - start < kLongWaitMs)
        Sleep(10);
    ASSERT_TRUE(next.Known(song));
    EXPECT_NEAR(next.Known(song)->lufs, -24.0, 0.5);
}

}  // namespace
}  // namespace zav2
