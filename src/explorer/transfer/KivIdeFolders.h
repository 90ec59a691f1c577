#pragma once

#include <string>

// The folders the transfers start from, read from the key "Directories" of the IDE settings.
// Reading stores the default when the value is missing, as every registry read does, so the
// IDE settings hold the value afterwards.

// The working directory in DOS form (current drive, ":\", current directory): what the IDE
// settings default to.
std::string KivCurrentDosDir();
// "AEFPath": where exports and imports start.
std::string KivAefPathSetting();
// "Root": the IDE's installation folder.
std::string KivRootSetting();
