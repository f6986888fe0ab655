// Frame capture under Wine: files, the clipboard and the panel picture.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/frame_capture.h"
#include "wine_support.h"

namespace zav2 {
namespace {

using test::HostWindow;
using test::mediaPath;
using test::openAndWait;
using test::pumpUntil;

std::string readFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::wstring> bmpFilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*.bmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

uint32_t read32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

// Blue, green, red of the pixel at (x, y) of a bottom-up 32-bit BMP.
struct Bgr {
    int b, g, r;
};
Bgr bmpPixel(const std::string& file, uint32_t x, uint32_t y) {
    const uint32_t width = read32(file, 18);
    const uint32_t height = read32(file, 22);
    const size_t at = 54 + (size_t{height - 1 - y} * width + x) * 4;
    return {static_cast<uint8_t>(file[at]), static_cast<uint8_t>(file[at + 1]),
            static_cast<uint8_t>(file[at + 2])};
}

bool isBlue(Bgr p) {
    return p.b > 200 && p.g < 60 && p.r < 60;
}

// A 32-bit top-down DIB section of one colour, as the panel keeps pictures.
UniqueBitmap solidPicture(int width, int height, uint32_t bgra) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i)
        pixels[i] = bgra;
    return bitmap;
}

class CaptureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(player.Initialize(window.host()), S_OK);
        folder = test::scratchFolder(L"zav2-captures");
    }
    void TearDown() override { player.Shutdown(); }

    // The colour video paused in its blue second (2 s to 3 s).
    void pauseInBlue() {
        ASSERT_EQ(openAndWait(player, mediaPath(L"colours.mp4")), S_OK);
        ASSERT_EQ(player.Play(), S_OK);
        ASSERT_TRUE(pumpUntil([&] { return player.GetPosition() >= 2.4; }, 10000));
        ASSERT_EQ(player.Pause(), S_OK);
        test::pumpFor(300);  // Wine's clock takes a moment to come to rest
        ASSERT_LT(player.GetPosition(), 2.9);
    }

    HostWindow& window = test::sharedHostWindow(160, 120);  // smaller than the video
    MediaEnginePlayer player;
    std::wstring folder;
};

TEST_F(CaptureTest, FileAtNativeSizeAskingForTheFolderOnce) {
    pauseInBlue();
    const std::wstring video = mediaPath(L"colours.mp4");
    int asked = 0;
    const BrowseForFolderCall browse = [&](HWND owner, const wchar_t* title) {
        ++asked;
        EXPECT_EQ(owner, window.host());
        EXPECT_STREQ(title, L"移動するフォルダを選択してください。");
        return std::optional<String>(folder);
    };
    String captureFolder;
    ASSERT_EQ(CaptureToFile(player, window.host(), nullptr, captureFolder, video, browse), S_OK);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(captureFolder, folder);

    // Named by the paused position, somewhere in the third second.
    const std::vector<std::wstring> written = bmpFilesIn(folder);
    ASSERT_EQ(written.size(), 1u);
    const std::wstring& name = written[0];
    EXPECT_EQ(name.size(), std::wstring(L"colours_000_02_HH.bmp").size());
    EXPECT_EQ(name.substr(0, 15), L"colours_000_02_");
    const std::string file = readFile(folder + L"\\" + name);
    ASSERT_EQ(file.size(), 54u + 4 * 320 * 240);
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(read32(file, 2), file.size());
    EXPECT_EQ(read32(file, 10), 54u);
    EXPECT_EQ(read32(file, 18), 320u);
    EXPECT_EQ(read32(file, 22), 240u);
    EXPECT_EQ(read32(file, 28) & 0xFFFF, 32u);
    for (auto [x, y] : {std::pair{0u, 0u}, {319u, 0u}, {160u, 120u}, {0u, 239u}, {319u, 239u}}) {
        const Bgr p = bmpPixel(file, x, y);
        EXPECT_TRUE(isBlue(p)) << x << "," << y << " is " << p.b << "," << p.g << "," << p.r;
    }

    // The folder is kept: the next capture does not ask again and replaces a
    // capture of the same name.
    ASSERT_EQ(CaptureToFile(player, window.host(), nullptr, captureFolder, video, browse), S_OK);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(bmpFilesIn(folder).size(), 1u);
}

TEST_F(CaptureTest, CancelledFolderChoiceWritesNothing) {
    pauseInBlue();
    String captureFolder = folder + L"\\gone";  // no longer exists
    int asked = 0;
    const BrowseForFolderCall cancel = [&](HWND, const wchar_t*) {
        ++asked;
        return std::optional<String>();
    };
    EXPECT_EQ(
        CaptureToFile(player, window.host(), nullptr, captureFolder, L"C:\\v\\colours.mp4", cancel),
        S_FALSE);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(captureFolder, folder + L"\\gone");
    EXPECT_TRUE(bmpFilesIn(folder).empty());
}

TEST_F(CaptureTest, ClipboardReceivesTheFrameAtNativeSize) {
    pauseInBlue();
    ASSERT_EQ(CaptureToClipboard(player, window.main(), nullptr), S_OK);
    ASSERT_TRUE(OpenClipboard(window.main()));
    const auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    ASSERT_NE(bitmap, nullptr);
    BITMAP description{};
    GetObjectW(bitmap, sizeof description, &description);
    EXPECT_EQ(description.bmWidth, 320);
    EXPECT_EQ(description.bmHeight, 240);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF centre = GetPixel(dc, 160, 120);
    SelectObject(dc, old);
    DeleteDC(dc);
    CloseClipboard();
    EXPECT_TRUE(isBlue({GetBValue(centre), GetGValue(centre), GetRValue(centre)}))
        << std::hex << centre;
}

TEST_F(CaptureTest, WithoutVideoThePanelPictureIsCaptured) {
    ASSERT_EQ(openAndWait(player, mediaPath(L"tone440.mp3")), S_OK);
    ASSERT_EQ(player.Play(), S_OK);
    ASSERT_TRUE(pumpUntil([&] { return player.GetPosition() >= 1.25; }, 5000));
    const UniqueBitmap cover = solidPicture(8, 6, 0xFF3366CC);  // B=CC G=66 R=33

    String captureFolder = folder;
    const std::wstring media = mediaPath(L"tone440.mp3");
    EXPECT_EQ(CaptureToFile(player, window.host(), nullptr, captureFolder, media, nullptr),
              S_FALSE);
    ASSERT_EQ(CaptureToFile(player, window.host(), cover.get(), captureFolder, media, nullptr),
              S_OK);
    const std::vector<std::wstring> written = bmpFilesIn(folder);
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0].substr(0, 15), L"tone440_000_01_");
    const std::string file = readFile(folder + L"\\" + written[0]);
    ASSERT_EQ(file.size(), 54u + 4 * 8 * 6);
    const Bgr p = bmpPixel(file, 3, 2);
    EXPECT_EQ(p.b, 0xCC);
    EXPECT_EQ(p.g, 0x66);
    EXPECT_EQ(p.r, 0x33);

    EXPECT_EQ(CaptureToClipboard(player, window.main(), nullptr), S_FALSE);
    ASSERT_EQ(CaptureToClipboard(player, window.main(), cover.get()), S_OK);
    ASSERT_TRUE(OpenClipboard(window.main()));
    BITMAP description{};
    GetObjectW(GetClipboardData(CF_BITMAP), sizeof description, &description);
    CloseClipboard();
    EXPECT_EQ(description.bmWidth, 8);
    EXPECT_EQ(description.bmHeight, 6);
}

TEST(WriteBmpFile, PaletteBitmapKeepsItsColourTable) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = 5;
    info.header.biHeight = 3;
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.colours[7] = {0x10, 0x20, 0x30, 0};
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info),
                                         DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(bitmap);
    std::memset(bits, 7, 8 * 3);  // rows of 5 pixels padded to 8 bytes

    const std::wstring path = test::scratchFolder(L"zav2-bmp") + L"\\palette.bmp";
    ASSERT_TRUE(WriteBmpFile(bitmap.get(), path));
    const std::string file = readFile(path);
    ASSERT_EQ(file.size(), 54u + 1024 + 8 * 3);
    EXPECT_EQ(read32(file, 10), 54u + 1024);
    EXPECT_EQ(read32(file, 28) & 0xFFFF, 8u);
    EXPECT_EQ(static_cast<uint8_t>(file[54 + 7 * 4]), 0x10);
    EXPECT_EQ(static_cast<uint8_t>(file[54 + 7 * 4 + 2]), 0x30);
    EXPECT_EQ(file[54 + 1024], 7);
    EXPECT_FALSE(WriteBmpFile(nullptr, path));
    EXPECT_FALSE(WriteBmpFile(bitmap.get(), L"Z:\\no such folder\\x.bmp"));
}

}  // namespace
}  // namespace zav2
