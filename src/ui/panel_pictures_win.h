// The panel's pictures: decoding through WIC into 32-bit top-down DIB
// sections (premultiplied BGRA), copying and lightening them.
#pragma once

#include <windows.h>

#include <string_view>

#include "platform/handles_win.h"
#include "platform/text.h"

namespace zav2 {

// Null when the file or bytes cannot be decoded, or the picture's size is
// refused (see acceptablePictureSize).
UniqueBitmap decodePictureFile(const String& path);
UniqueBitmap decodePictureBytes(std::string_view bytes);

// A DIB-section copy of a picture made by the decoders; null on failure.
UniqueBitmap copyPicture(HBITMAP picture);

// Lightens a picture made by the decoders in place.
void fadePicture(HBITMAP picture);

// Width and height of a bitmap; {0, 0} for null.
SIZE pictureSize(HBITMAP picture);

}  // namespace zav2
