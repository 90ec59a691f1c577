#pragma once

#include <string_view>

// Writes the bytes to the file (DOS or host form) so that it is either whole or not there: they
// go to a temporary file beside it, which then takes its place. A target that exists and is no
// regular file (a device) is written in place, since a rename would replace the device itself.
// False on any failure; the temporary file is removed and an existing target keeps its bytes.
bool KivWriteFileAtomic(std::string_view fileName, std::string_view bytes);
