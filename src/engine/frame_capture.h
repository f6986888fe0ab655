// Capture of the current video frame at its native size into a BMP file or
// onto the clipboard; for media without video, of the picture the text panel
// shows. Windows only. Failures are silent for the user: no message is shown,
// and the results below only tell the caller (and tests) what happened.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <functional>
#include <optional>

#include "engine/media_engine_player.h"
#include "platform/handles_win.h"
#include "platform/text.h"

namespace zav2 {

// The folder dialog: owner window and title in, the chosen file-system
// folder out; nullopt when the user cancels.
using BrowseForFolderCall = std::function<std::optional<String>(HWND owner, const wchar_t* title)>;

// A 32-bit top-down DIB section holding the source's pixels as BGRA.
HRESULT ConvertToDib(IWICImagingFactory* factory, IWICBitmapSource* source, UniqueBitmap& dib);

// Writes the bitmap as an uncompressed bottom-up BMP file (replacing the file
// as a whole). False when nothing was written.
bool WriteBmpFile(HBITMAP bitmap, StringView path);

// Puts a copy of the bitmap on the clipboard as CF_BITMAP.
bool CopyBitmapToClipboard(HWND owner, HBITMAP bitmap);

// The capture file for the current entry in `captureFolder`, asking for the
// folder first when none is set or it no longer exists (owned by the video
// host). S_FALSE when the user cancelled or there was nothing to capture;
// STG_E_CANTSAVE when the picture was taken but the file could not be written.
HRESULT CaptureToFile(MediaEnginePlayer& player, HWND videoHost, HBITMAP panelPicture,
                      String& captureFolder, StringView entryPath,
                      const BrowseForFolderCall& browseForFolder);

// The same picture onto the clipboard, owned by the main window.
HRESULT CaptureToClipboard(MediaEnginePlayer& player, HWND mainWindow, HBITMAP panelPicture);

}  // namespace zav2
