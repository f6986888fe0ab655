// Loading the panel for the current entry: the companion text or the
// embedded lyrics, over the companion or embedded picture.
#include <windows.h>

#include "ui/panel_win.h"
#include "playlist/playlist_view_win.h"
#include "playlist/playlist_window_win.h"
#include "platform/file.h"
#include "platform/path.h"
#include "tags/tags.h"
#include "ui/panel_pictures_win.h"
#include "ui/panel_state_win.h"
#include "ui/panel_text.h"

namespace zav2 {

namespace {

// `primary` when it exists, else `fallback`.
String firstExisting(const String& primary, const String& fallback) {
    return pathExists(primary) ? primary : fallback;
}

UniqueBitmap embeddedPicture(const String& media, const LyricsAndPicture& found) {
    if (!found.picture)
        return nullptr;
    const std::optional<std::string> bytes = readPictureBytes(media, *found.picture);
    return bytes ? decodePictureBytes(*bytes) : nullptr;
}

// Lets the size handling lay the window out again, which paints the picture
// when no text will be drawn over it.
void requestLayout(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    PostMessageW(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

// The first bytes of the companion text, one more than are shown so that the
// cut can see whether it splits a character; nullopt when it cannot be read
// (it may have gone since it was found).
std::optional<std::string> readCompanionBytes(const String& path) {
    const std::unique_ptr<FileReader> file = FileReader::open(path);
    if (!file)
        return std::nullopt;
    const uint64_t wanted = std::min<uint64_t>(file->size(), kMaxCompanionTextBytes + 1);
    return file->readExact(0, wanted);
}

void loadPanel(PanelState& panel, HWND window, bool showText, const String& media) {
    SetWindowTextW(panel.textPanel, L"");
    const String text =
        firstExisting(replaceExtension(media, L".txt"), replaceExtension(media, L".doc"));
    const String png = replaceExtension(media, L".png");
    const String jpg =
        firstExisting(replaceExtension(media, L".jpg"), replaceExtension(media, L".jpeg"));

    const LyricsAndPicture found = readLyricsAndPicture(media);
    panel.picture1 = embeddedPicture(media, found);
    // A companion picture replaces the embedded one even when it cannot be
    // decoded.
    if (pathExists(png))
        panel.picture1 = decodePictureFile(png);
    else if (pathExists(jpg))
        panel.picture1 = decodePictureFile(jpg);
    panel.picture2.reset();
    if (panel.picture1)
        panel.picture2 = copyPicture(panel.picture1.get());

    const bool textExists = pathExists(text);
    if (showText && !textExists && found.lyrics) {
        SetWindowTextW(panel.textPanel, lyricsForPanel(*found.lyrics).c_str());
        if (panel.picture2)
            fadePicture(panel.picture2.get());
        return;
    }
    std::optional<std::string> bytes;
    if (textExists)
        bytes = readCompanionBytes(text);
    if (!bytes) {
        requestLayout(window);
        return;
    }
    if (!showText)
        return;
    const std::string_view shown = std::string_view(*bytes).substr(0, kMaxCompanionTextBytes);
    const TextEncoding encoding = detectTextEncoding(shown);
    if (encoding == TextEncoding::NotText)
        return;
    const size_t cut = characterBoundary(*bytes, encoding, kMaxCompanionTextBytes);
    SetWindowTextW(panel.textPanel,
                   companionText(std::string_view(*bytes).substr(0, cut), encoding).c_str());
    if (panel.picture2)
        fadePicture(panel.picture2.get());
}

}  // namespace

void releasePanelPictures(PanelState& panel) {
    panel.picture2.reset();
    panel.picture1.reset();
}

void reloadPanel(PanelState& panel, const PlaylistView& list, HWND window, bool showText) {
    releasePanelPictures(panel);
    const String media = currentEntryPath(list);
    if (media.empty())
        SetWindowTextW(panel.textPanel, L"");
    else
        loadPanel(panel, window, showText, media);
    // The list's rows show picture 1 behind them.
    InvalidateRect(list.listBox, nullptr, TRUE);
}

}  // namespace zav2
