// The settings file as the main window loads and saves it.
#pragma once

namespace zav2 {

struct MainWindow;

// Settings.
void determineSettingsPath(MainWindow& state);
void loadWindowPlacement(MainWindow& state);
void loadRemainingSettings(MainWindow& state);
void loadCaptureFolder(MainWindow& state);
// `nowPosition`: seconds into the current entry, for the next start.
void saveSettings(MainWindow& state, int nowPosition);
bool afterActiveEnabled(const MainWindow& state);
int programVolume(const MainWindow& state);  // 0 ... 1000

}  // namespace zav2
