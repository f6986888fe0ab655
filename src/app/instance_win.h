// Finding the running instance of a name and talking to it.
#pragma once

#include <windows.h>

#include <string>

#include "platform/text.h"

namespace zav2 {

// The top-level window carrying the instance marker (a property named by the
// instance name with the value 1), or null.
HWND findInstanceWindow(const String& instanceName);

void setInstanceMarker(HWND window, const String& instanceName);
void removeInstanceMarker(HWND window, const String& instanceName);

enum class HandOver {
    None,       // no instance of this name runs: this start becomes it
    Forwarded,  // the command line went to the running instance
    Busy,       // an instance is saving its list; the user was told
    TooLong,    // the command line cannot be forwarded whole; the user was told
};

// Looks for a busy instance or the running one, in window order, and hands
// the command line to the running one (WM_COPYDATA, then WM_APP+2, both sent).
HandOver handOverCommandLine(const String& instanceName, const std::string& argumentBytes);

// Sends a control command (/Play, /Stop, /Next) to the running instance, if any.
void sendControlCommand(const String& instanceName, int command);

}  // namespace zav2
