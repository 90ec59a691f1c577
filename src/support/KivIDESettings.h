#pragma once

class KivRegistry;

// The IDE's own settings, which this program reads for its default folders and which the
// registry tool exports: one registry object on HKEY_CURRENT_USER
// "SOFTWARE\ComputerAssociates\CA-Visual Objects 2.5", shared by the whole process.

inline constexpr const char* KIV_IDE_SETTINGS_KEY = "SOFTWARE\\ComputerAssociates\\CA-Visual Objects 2.5";

// Made by start-up once the repository is open; a new object each time it is called.
void KivOpenIDESettings();
// Let go at the end of the run.
void KivCloseIDESettings();
// The settings object; made on first use when start-up has not made it yet (a tool run without
// the explorer), so callers never find it missing.
KivRegistry& KivIDESettings();
