#pragma once

#include "engine/KivExportImage.h"

#include <cstdint>
#include <string_view>
#include <vector>

// The entities of a PRG source text, as the IDE makes them when it builds a module bound to the
// file: each entity of the PRG splitter becomes a source entity (type 3) whose block kind comes
// from the prototype's type word, whose name is its display name in upper case (CLASS:METHOD,
// CLASS:PROP:ACCESS, CLASS:PROP:ASSIGN, or the plain name), whose source is its lines with
// CR LF and one NUL, and whose times are `now`.
std::vector<KivEntityImage> KivPrgEntities(std::string_view text, uint32_t now);

// The block kind for an entity type word (FUNCTION 17 ... UNION 29); 0 for the others.
uint32_t KivBlockKindOf(std::string_view typeWord);
