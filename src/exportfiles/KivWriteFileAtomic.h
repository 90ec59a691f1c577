#pragma once

#include <string_view>

// Writes the bytes to the file named in DOS or host form so that it is either whole or untouched
// (kiv::platform::KivReplaceFile). False on any failure.
bool KivWriteFileAtomic(std::string_view fileName, std::string_view bytes);
