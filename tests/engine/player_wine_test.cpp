// The player against the real media engine under Wine: life, sources,
// transport and the engine's read-outs.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <mutex>
#include <vector>

#include "engine/engine_ready.h"
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

TEST(PlayerWithoutEngine, EveryOperationAnswersWithoutCrashing) {
    MediaEnginePlayer player;
    EXPECT_EQ(player.GetState(), PlayerState::Closed);
    EXPECT_EQ(player.OpenFile(L"C:\\a.mp3"), E_POINTER);
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
    EXPECT_EQ(player.GetState(), PlayerState::Closed);
}

TEST(PlayerWithoutEngine, InitializeWithoutHostFailsAndUnwinds) {
    MediaEnginePlayer player;
    EXPECT_EQ(player.Initialize(nullptr), E_POINTER);
    EXPECT_EQ(player.SurfaceWindow(), nullptr);
    EXPECT_EQ(player.OpenFile(mediaPath(L"tone440.wav").c_str()), E_POINTER);
    // A later start with a host works: the failed one left nothing behind.
    HostWindow& window = test::sharedHostWindow(64, 48);
    EXPECT_EQ(player.Initialize(window.host()), S_OK);
    player.Shutdown();
}

TEST_F(PlayerTest, SurfaceFillsTheHostAndSecondInitializeChangesNothing) {
    const HWND surface = player.SurfaceWindow();
    ASSERT_NE(surface, nullptr);
    wchar_t className[64] = {};
    GetClassNameW(surface, className, 64);
    EXPECT_STREQ(className, L"Zav2VideoSurface");
    EXPECT_EQ(GetParent(surface), window.host());
    const LONG_PTR style = GetWindowLongPtrW(surface, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_TRUE(style & WS_CLIPSIBLINGS);
    EXPECT_TRUE(GetWindowLongPtrW(surface, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    RECT rect{};
    GetClientRect(surface, &rect);
    EXPECT_EQ(rect.right, 320);
    EXPECT_EQ(rect.bottom, 240);
    // Mouse input falls through to the host.
    EXPECT_EQ(SendMessageW(surface, WM_NCHITTEST, 0, MAKELPARAM(50, 50)), HTTRANSPARENT);
    EXPECT_EQ(SendMessageW(surface, WM_ERASEBKGND, 0, 0), 1);

    EXPECT_EQ(player.Initialize(window.host()), S_OK);
    EXPECT_EQ(player.SurfaceWindow(), surface);
    EXPECT_EQ(player.GetState(), PlayerState::Closed);
}

TEST_F(PlayerTest, RefusalsWithoutASource) {
    EXPECT_EQ(player.Play(), E_UNEXPECTED);
    EXPECT_EQ(player.Pause(), E_UNEXPECTED);
    EXPECT_EQ(player.Stop(), E_UNEXPECTED);
    EXPECT_EQ(player.Seek(std::nan("")), E_INVALIDARG);
    EXPECT_EQ(player.Seek(std::numeric_limits<double>::infinity()), E_INVALIDARG);
    EXPECT_EQ(player.SetVolume(std::nan("")), E_INVALIDARG);
    // The engine reports NaN for the duration of nothing.
    EXPECT_EQ(player.GetDuration(), 0.0);
    EXPECT_FALSE(player.IsReady());
    EXPECT_FALSE(player.HasVideo());
    EXPECT_EQ(player.GetFrameRate(), 0.0);
    // Close without a source still unloads (the engine's answer comes back).
    EXPECT_EQ(player.Close(), S_OK);
    EXPECT_EQ(player.GetState(), PlayerState::Closed);
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
    EXPECT_EQ(player.GetState(), PlayerState::Loaded);

    EXPECT_EQ(player.Play(), S_OK);
    EXPECT_EQ(player.GetState(), PlayerState::Playing);
    EXPECT_EQ(player.Play(), E_UNEXPECTED);
    ASSERT_TRUE(playTo(0.5));

    EXPECT_EQ(player.Pause(), S_OK);
    EXPECT_EQ(player.GetState(), PlayerState::Paused);
    EXPECT_EQ(player.Pause(), E_UNEXPECTED);
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
    EXPECT_GT(player.GetPosition(), stopped);

    EXPECT_EQ(player.Close(), S_OK);
    EXPECT_EQ(player.GetState(), PlayerState::Closed);
    EXPECT_EQ(player.GetCurrentPath(), L"");
    EXPECT_EQ(player.GetCurrentUrl(), L"");
    EXPECT_FALSE(player.IsReady());
    EXPECT_EQ(player.Play(), E_UNEXPECTED);
}

TEST_F(PlayerTest, OpeningTheLoadedFileAgainStartsItOver) {
    const std::wstring path = mediaPath(L"tone440.wav");
    ASSERT_EQ(openAndWait(player, path), S_OK);
    EXPECT_EQ(player.GetCurrentPath(), path);
    ASSERT_EQ(player.Play(), S_OK);
    ASSERT_TRUE(playTo(1.0));

    // Same file, other case, while playing: back to the start, Loaded.
    std::wstring shouted = path;
    CharUpperW(shouted.data());
    ASSERT_EQ(openAndWait(player, shouted), S_OK);
    EXPECT_EQ(player.GetState(), PlayerState::Loaded);
    EXPECT_EQ(player.GetCurrentPath(), path);
    EXPECT_LT(player.GetPosition(), 0.3);
    ASSERT_EQ(player.Play(), S_OK);
    ASSERT_TRUE(playTo(0.8));

    // After Stop the file is loaded again from the start as well.
    ASSERT_EQ(player.Stop(), S_OK);
    ASSERT_EQ(openAndWait(player, path), S_OK);
    EXPECT_EQ(player.GetState(), PlayerState::Loaded);
    EXPECT_LT(player.GetPosition(), 0.3);
    ShowWindow(window.host(), SW_SHOW);
    EXPECT_EQ(player.Play(), S_OK);
    EXPECT_TRUE(playTo(0.5));
}

TEST_F(PlayerTest, SourcesFollowOneAnotherAndEachStartsAtZero) {
    // Three sources in a row on one player; each plays from its start.
    for (const wchar_t* name : {L"tone440.mp3", L"colours.mp4", L"tone440.m4a"}) {
        ASSERT_EQ(openAndWait(player, mediaPath(name)), S_OK) << name;
        EXPECT_LT(player.GetPosition(), 0.3) << name;
        ASSERT_EQ(player.Play(), S_OK) << name;
        EXPECT_TRUE(playTo(0.6)) << name;
    }
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
    HANDLE file = CreateFileW(bad.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "this is not an mp3 file at all", 30, &written, nullptr);
    CloseHandle(file);

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
    // A good file loads afterwards.
    EXPECT_EQ(openAndWait(player, mediaPath(L"tone440.wav")), S_OK);
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

TEST_F(PlayerTest, PathWithSpacesAndJapanesePlays) {
    const std::wstring path = mediaPath(L"with space\\日本語 テスト.mp3");
    ASSERT_EQ(openAndWait(player, path), S_OK);
    EXPECT_EQ(player.GetCurrentPath(), path);
    const std::wstring url = player.GetCurrentUrl();
    EXPECT_EQ(url.rfind(L"file://", 0), 0u);
    EXPECT_NE(url.find(L"/with space/日本語 テスト.mp3"), std::wstring::npos);
    EXPECT_EQ(url.find(L'\\'), std::wstring::npos);
    EXPECT_NEAR(player.GetDuration(), 5.0, 0.2);
    ASSERT_EQ(player.Play(), S_OK);
    EXPECT_TRUE(playTo(0.5));
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

TEST_F(PlayerTest, ReachesTheEnd) {
    ASSERT_EQ(openAndWait(player, mediaPath(L"colours.mp4")), S_OK);
    EXPECT_FALSE(player.IsEnded());
    ASSERT_EQ(player.Play(), S_OK);
    EXPECT_TRUE(pumpUntil([&] { return player.IsEnded(); }, 8000));
    EXPECT_NEAR(player.GetPosition(), 4.0, 0.2);
}

}  // namespace
}  // namespace zav2
