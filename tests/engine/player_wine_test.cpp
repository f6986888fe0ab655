// The player against the real media engine under Wine: life, sources,
// transport, shutdown and capture without video. What the program shows and
// plays through it is checked end to end (tests/e2e).
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>

#include "engine/engine_ready.h"
#include "engine/frame_capture.h"
#include "engine/media_engine_player.h"
#include "wine_support.h"

namespace zav2 {
namespace {

using test::HostWindow;
using test::mediaPath;
using test::openAndWait;
using test::pumpFor;
using test::pumpUntil;

class PlayerTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(player.Initialize(window.host()), S_OK); }
    void TearDown() override { player.Shutdown(); }

    // Plays until the position has advanced past `seconds`.
    bool playTo(double seconds) {
        return pumpUntil([&] { return player.GetPosition() >= seconds; }, 10000);
    }

    HostWindow& window = test::sharedHostWindow(320, 240);
    MediaEnginePlayer player;
};

TEST(PlayerWithoutEngine, AFailedStartLeavesEveryOperationSafe) {
    MediaEnginePlayer player;
    EXPECT_EQ(player.Initialize(nullptr), E_POINTER);
    EXPECT_EQ(player.SurfaceWindow(), nullptr);
    EXPECT_EQ(player.GetState(), PlayerState::Closed);
    EXPECT_EQ(player.OpenFile(mediaPath(L"tone440.wav").c_str()), E_POINTER);
    EXPECT_EQ(player.SetSourceUrl(L"file:///C:/a.mp3"), E_POINTER);
    EXPECT_EQ(player.Close(), E_POINTER);
    EXPECT_EQ(player.Play(), E_POINTER);
    EXPECT_EQ(player.Pause(), E_POINTER);
    EXPECT_EQ(player.Stop(), E_POINTER);
    EXPECT_EQ(player.Seek(1.0), E_POINTER);
    EXPECT_EQ(player.Seek(std::nan("")), E_INVALIDARG);
    EXPECT_EQ(player.SetVolume(0.5), E_POINTER);
    EXPECT_EQ(player.SetPlaybackRate(2.0), E_UNEXPECTED);
    EXPECT_EQ(player.FrameStep(true), E_UNEXPECTED);
    EXPECT_EQ(player.GetPosition(), 0.0);
    EXPECT_EQ(player.GetDuration(), 0.0);
    EXPECT_EQ(player.GetFrameRate(), 0.0);
    EXPECT_FALSE(player.IsEnded());
    EXPECT_FALSE(player.IsReady());
    EXPECT_FALSE(player.HasVideo());
    DWORD width = 7;
    DWORD height = 7;
    player.GetNativeVideoSize(&width, &height);
    EXPECT_EQ(width, 0u);
    EXPECT_EQ(height, 0u);
    player.GetNativeVideoSize(nullptr, &height);  // nothing to write to
    player.ResizeSurface(100, 100);
    player.Shutdown();
    player.Shutdown();
    // A later start with a host works: the failed one left nothing behind.
    EXPECT_EQ(player.Initialize(test::sharedHostWindow(64, 48).host()), S_OK);
    player.Shutdown();
}

TEST_F(PlayerTest, ASecondInitializeKeepsTheSurfaceThatLetsTheMouseThrough) {
    const HWND surface = player.SurfaceWindow();
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(GetParent(surface), window.host());
    EXPECT_EQ(SendMessageW(surface, WM_NCHITTEST, 0, MAKELPARAM(50, 50)), HTTRANSPARENT);
    EXPECT_EQ(player.Initialize(window.host()), S_OK);
    EXPECT_EQ(player.SurfaceWindow(), surface);
}

TEST_F(PlayerTest, RefusalsWithoutASource) {
    EXPECT_EQ(player.Play(), E_UNEXPECTED);
    EXPECT_EQ(player.Seek(std::numeric_limits<double>::infinity()), E_INVALIDARG);
    EXPECT_EQ(player.SetVolume(std::nan("")), E_INVALIDARG);
    // The engine reports NaN for the duration of nothing.
    EXPECT_EQ(player.GetDuration(), 0.0);
    EXPECT_FALSE(player.IsReady());
    // Close without a source still unloads (the engine's answer comes back).
    EXPECT_EQ(player.Close(), S_OK);
    EXPECT_EQ(player.OpenFile(nullptr), E_POINTER);
    EXPECT_EQ(player.SetSourceUrl(nullptr), E_POINTER);
    EXPECT_EQ(player.SetCurrentPath(nullptr), E_POINTER);
    EXPECT_EQ(player.GetState(), PlayerState::Closed);
}

TEST_F(PlayerTest, TransportFollowsTheStateTable) {
    ASSERT_EQ(openAndWait(player, mediaPath(L"tone440.wav")), S_OK);
    EXPECT_EQ(player.GetState(), PlayerState::Loaded);
    EXPECT_NEAR(player.GetDuration(), 5.0, 0.05);
    EXPECT_EQ(player.Pause(), E_UNEXPECTED);

    EXPECT_EQ(player.Play(), S_OK);
    EXPECT_EQ(player.Play(), E_UNEXPECTED);
    ASSERT_TRUE(playTo(0.5));

    EXPECT_EQ(player.Pause(), S_OK);
    EXPECT_EQ(player.GetState(), PlayerState::Paused);
    const double paused = player.GetPosition();
    pumpFor(400);
    EXPECT_NEAR(player.GetPosition(), paused, 0.05);

    EXPECT_EQ(player.Play(), S_OK);
    ASSERT_TRUE(playTo(paused + 0.3));

    EXPECT_EQ(player.Stop(), S_OK);
    EXPECT_EQ(player.GetState(), PlayerState::Stopped);
    EXPECT_FALSE(IsWindowVisible(player.SurfaceWindow()));
    EXPECT_FALSE(IsWindowVisible(window.host()));
    const double stopped = player.GetPosition();
    EXPECT_EQ(player.Stop(), S_OK);  // again: nothing to do
    EXPECT_EQ(player.Pause(), E_UNEXPECTED);
    pumpFor(300);
    EXPECT_NEAR(player.GetPosition(), stopped, 0.05);  // Stop keeps the position

    ShowWindow(window.host(), SW_SHOW);
    EXPECT_EQ(player.Play(), S_OK);  // resumes where it stopped
    EXPECT_TRUE(IsWindowVisible(player.SurfaceWindow()));
    ASSERT_TRUE(playTo(stopped + 0.3));

    EXPECT_EQ(player.Close(), S_OK);
    EXPECT_EQ(player.GetState(), PlayerState::Closed);
    EXPECT_EQ(player.GetCurrentPath(), L"");
    EXPECT_EQ(player.GetCurrentUrl(), L"");
    EXPECT_FALSE(player.IsReady());
    EXPECT_EQ(player.Play(), E_UNEXPECTED);
}

TEST_F(PlayerTest, OpenFileRefusesAPathThatDoesNotFitAndKeepsTheState) {
    const std::wstring path = mediaPath(L"tone440.wav");
    ASSERT_EQ(openAndWait(player, path), S_OK);
    ASSERT_EQ(player.Play(), S_OK);

    // 259 characters fit the program's buffers, 260 do not.
    const std::wstring folder = L"C:\\";
    const std::wstring longest = folder + std::wstring(259 - folder.size(), L'a');
    const std::wstring tooLong = longest + L"b";
    EXPECT_EQ(player.OpenFile(tooLong.c_str()), HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_EQ(player.SetCurrentPath(tooLong.c_str()),
              HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_EQ(player.GetState(), PlayerState::Playing);
    EXPECT_EQ(player.GetCurrentPath(), path);
    // The longest path that fits is taken; a relative one is expanded.
    EXPECT_EQ(player.SetCurrentPath(longest.c_str()), S_OK);
    EXPECT_EQ(player.GetCurrentPath(), longest);
    wchar_t folderNow[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folderNow);
    EXPECT_EQ(player.SetCurrentPath(L"clip.mp4"), S_OK);
    std::wstring expected = folderNow;
    if (expected.back() != L'\\')
        expected += L'\\';
    EXPECT_EQ(player.GetCurrentPath(), expected + L"clip.mp4");
}

TEST_F(PlayerTest, AFileThatCannotPlayNeverBecomesReady) {
    // Text with a media extension: loading starts, then the engine reports
    // an error and the player stays not ready.
    const std::wstring folder = test::scratchFolder(L"zav2-engine-bad");
    const std::wstring bad = folder + L"\\not audio.mp3";
    std::ofstream(bad.c_str(), std::ios::binary) << "this is not an mp3 file at all";

    for (const std::wstring& path : {bad, folder + L"\\missing.mp3"}) {
        const HRESULT hr = player.OpenFile(path.c_str());
        if (SUCCEEDED(hr)) {
            EXPECT_EQ(player.GetState(), PlayerState::Loaded);
            pumpFor(1500);
        } else {
            EXPECT_EQ(player.GetState(), PlayerState::Closed);
        }
        EXPECT_FALSE(player.IsReady()) << "path " << testing::PrintToString(path);
    }
    // A good file loads afterwards, from a path with spaces and Japanese.
    const std::wstring japanese = mediaPath(L"with space\\日本語 テスト.mp3");
    ASSERT_EQ(openAndWait(player, japanese), S_OK);
    EXPECT_EQ(player.GetCurrentPath(), japanese);
    EXPECT_NEAR(player.GetDuration(), 5.0, 0.2);
    ASSERT_EQ(player.Play(), S_OK);
    EXPECT_TRUE(playTo(0.5));
}

TEST_F(PlayerTest, SeeksLandWhereAskedPlayingOrPaused) {
    ASSERT_EQ(openAndWait(player, mediaPath(L"tone440.wav")), S_OK);
    ASSERT_EQ(player.Play(), S_OK);
    ASSERT_TRUE(playTo(0.5));
    EXPECT_EQ(player.Seek(std::nan("")), E_INVALIDARG);
    EXPECT_EQ(player.GetState(), PlayerState::Playing);
    // Each target is far from where playback is, so only the seek gets
    // there; the clamps land on the start and the end.
    struct Case {
        double target;
        double lands;
        bool paused;
    };
    const Case cases[] = {
        {3.0, 3.0, false}, {-3, 0, false}, {1.5, 1.5, true}, {3.5, 3.5, true}, {100, 5, true}};
    for (const Case& c : cases) {
        if (c.paused && player.GetState() == PlayerState::Playing) {
            ASSERT_EQ(player.Pause(), S_OK);
        }
        ASSERT_EQ(player.Seek(c.target), S_OK) << c.target;
        EXPECT_TRUE(pumpUntil([&] { return std::abs(player.GetPosition() - c.lands) < 0.3; }, 2000))
            << "seek to " << c.target << " is at " << player.GetPosition();
        EXPECT_EQ(player.GetState(), c.paused ? PlayerState::Paused : PlayerState::Playing);
    }
    pumpFor(300);
    EXPECT_NEAR(player.GetPosition(), 5.0, 0.3);  // paused at the end, and stays
}

TEST_F(PlayerTest, EventsReachTheCallbackUntilShutdown) {
    std::atomic<int> events{0};
    std::atomic<bool> sawLoadStart{false};
    player.SetEventCallback([&](uint32_t event, uintptr_t param1, uint32_t param2) {
        ++events;
        if (event == 1)
            sawLoadStart = true;
        markEngineReadyOnCanPlay(event, param1, param2);
    });
    engineReady = 0;
    ASSERT_EQ(openAndWait(player, mediaPath(L"colours.mp4")), S_OK);
    EXPECT_TRUE(pumpUntil([] { return engineReady.load() == 1; }, 2000));
    EXPECT_TRUE(sawLoadStart.load());
    ASSERT_EQ(player.Play(), S_OK);
    pumpFor(300);

    // Shut down while the engine is busy loading another source and the
    // presentation thread runs: joined in time, and nothing arrives after.
    ASSERT_EQ(player.OpenFile(mediaPath(L"tone440.mp3").c_str()), S_OK);
    const ULONGLONG start = GetTickCount64();
    player.Shutdown();
    EXPECT_LT(GetTickCount64() - start, 2000u);
    const int after = events.load();
    pumpFor(700);
    EXPECT_EQ(events.load(), after);
    EXPECT_EQ(player.GetState(), PlayerState::Closed);
    EXPECT_EQ(player.SurfaceWindow(), nullptr);
    EXPECT_EQ(player.Play(), E_POINTER);
    engineReady = 0;
}

// Capture without video: the folder is asked for only when missing, a
// cancel keeps it, and the panel's picture is what gets captured.
TEST_F(PlayerTest, CaptureWithoutVideoTakesThePanelPicture) {
    const std::wstring folder = test::scratchFolder(L"zav2-captures");
    const std::wstring media = mediaPath(L"tone440.mp3");
    ASSERT_EQ(openAndWait(player, media), S_OK);
    ASSERT_EQ(player.Play(), S_OK);
    ASSERT_TRUE(playTo(1.25));
    ASSERT_EQ(player.Pause(), S_OK);

    String captureFolder = folder + L"\\gone";  // no longer exists
    int asked = 0;
    const BrowseForFolderCall cancel = [&](HWND owner, const wchar_t* title) {
        ++asked;
        EXPECT_EQ(owner, window.host());
        EXPECT_STREQ(title, L"移動するフォルダを選択してください。");
        return std::optional<String>();
    };
    EXPECT_EQ(CaptureToFile(player, window.host(), nullptr, captureFolder, media, cancel), S_FALSE);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(captureFolder, folder + L"\\gone");

    // A 32-bit top-down DIB section of one colour, as the panel keeps pictures.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 8;
    info.bmiHeader.biHeight = -6;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const UniqueBitmap cover(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(cover);
    std::fill_n(static_cast<uint32_t*>(bits), 8 * 6, 0xFF3366CC);  // B=CC G=66 R=33

    captureFolder = folder;
    EXPECT_EQ(CaptureToFile(player, window.host(), nullptr, captureFolder, media, cancel), S_FALSE);
    EXPECT_EQ(CaptureToClipboard(player, window.main(), nullptr), S_FALSE);
    ASSERT_EQ(CaptureToFile(player, window.host(), cover.get(), captureFolder, media, cancel),
              S_OK);
    EXPECT_EQ(asked, 1);
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"\\*.bmp").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FindNextFileW(search, &found)) << "one capture only";
    FindClose(search);
    const std::wstring name = found.cFileName;
    EXPECT_EQ(name.substr(0, 15), L"tone440_000_01_");
    std::ifstream in((folder + L"\\" + name).c_str(), std::ios::binary);
    const std::string file(std::istreambuf_iterator<char>(in), {});
    ASSERT_EQ(file.size(), 54u + 4 * 8 * 6);
    EXPECT_EQ(file.substr(54, 3), "\xCC\x66\x33");
}

}  // namespace
}  // namespace zav2
