// Steps the intake files share; not for callers outside the play list.
#pragma once

#include "playlist/intake.h"

namespace zav2 {

// folder + name, or empty when the result is longer than the program keeps.
String itemPath(StringView folder, StringView name);
// Inserts before `index` (clamped); current moves with its entry.
void insertKeepingCurrent(Playlist& playlist, int index, PlaylistEntry entry);
// scanFolder with the settings, then the sort every scan ends with.
void scanAndSort(Playlist& playlist, StringView folder, const IntakeSettings& settings);
// Every row again from the entries, in one batch.
void refillListBox(ListBoxMirror& listBox, Playlist& playlist, bool noExt);

}  // namespace zav2
