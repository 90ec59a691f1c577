#pragma once

#include "platform/KivSymbol.h"

#include <cstdint>
#include <vector>

// The entity-type symbols, in this order: FUNCTION, PROCEDURE, METHOD, ACCESS, ASSIGN, CLASS,
// UNION, STRUCTURE, RESOURCE, TEXTBLOCK, GLOBAL. Built once at start-up; reading the table
// before that builds it too.
void KivInitEntSymTypes();
const std::vector<KivSymbol>& KivGetEntSymTypes();

// The symbol of an engine block type (17 FUNCTION, 18 PROCEDURE, 21 METHOD, 22 GLOBAL, 23 CLASS,
// 24 STRUCTURE, 25 ACCESS, 26 ASSIGN, 27 DEFINE, 29 UNION); the null symbol for any other number.
KivSymbol KivBlockTypeSymbol(uint32_t blockType);
