#pragma once

#include "support/KivRecordStream.h"

#include <cstddef>
#include <string>
#include <string_view>

// What a reader says about a damaged record stream: the kind of file ("AEF file", "module"), what
// was wrong and the offset in the file where the walk had to stop.
std::string KivRecordDamageText(std::string_view what, KivRecordDamage damage, size_t offset);
