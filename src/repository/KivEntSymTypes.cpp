#include "repository/KivEntSymTypes.h"

#include <array>
#include <utility>

void KivInitEntSymTypes() {
    KivGetEntSymTypes();
}

const std::vector<KivSymbol>& KivGetEntSymTypes() {
    static const std::vector<KivSymbol> types{
        KivSymbol("FUNCTION"), KivSymbol("PROCEDURE"), KivSymbol("METHOD"), KivSymbol("ACCESS"),
        KivSymbol("ASSIGN"),   KivSymbol("CLASS"),     KivSymbol("UNION"),  KivSymbol("STRUCTURE"),
        KivSymbol("RESOURCE"), KivSymbol("TEXTBLOCK"), KivSymbol("GLOBAL"),
    };
    return types;
}

KivSymbol KivBlockTypeSymbol(uint32_t blockType) {
    static const std::array<std::pair<uint32_t, KivSymbol>, 10> blocks{{
        {17, KivSymbol("FUNCTION")},
        {18, KivSymbol("PROCEDURE")},
        {21, KivSymbol("METHOD")},
        {22, KivSymbol("GLOBAL")},
        {23, KivSymbol("CLASS")},
        {24, KivSymbol("STRUCTURE")},
        {25, KivSymbol("ACCESS")},
        {26, KivSymbol("ASSIGN")},
        {27, KivSymbol("DEFINE")},
        {29, KivSymbol("UNION")},
    }};
    for (const auto& [number, symbol] : blocks)
        if (number == blockType)
            return symbol;
    return {};
}
