// The Media Foundation media engine: the SDK's header where there is one,
// the project's own declarations otherwise (mingw-w64 10 ships none).
#pragma once

#include <windows.h>

// winbase.h maps GetCurrentTime() to GetTickCount(), which would rename the
// engine's method of that name.
#ifdef GetCurrentTime
#undef GetCurrentTime
#endif

#include <mfapi.h>
#include <mfidl.h>

#if __has_include(<mfmediaengine.h>)
#include <mfmediaengine.h>
#else
#include "engine/media_engine_declarations.h"
#endif
