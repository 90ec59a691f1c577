#include "engine/KivPrgEntities.h"

#include "exportfiles/KivExportTags.h"
#include "exportfiles/KivEntityText.h"
#include "exportfiles/KivPrgScan.h"
#include "support/KivStringUtil.h"

uint32_t KivBlockKindOf(std::string_view typeWord) {
    struct Kind {
        std::string_view word;
        uint32_t block;
    };
    static constexpr Kind kKinds[] = {
        {"FUNCTION", kiv::tag::kBlockFunction}, {"PROCEDURE", kiv::tag::kBlockProcedure},
        {"METHOD", kiv::tag::kBlockMethod},     {"GLOBAL", kiv::tag::kBlockGlobal},
        {"CLASS", kiv::tag::kBlockClass},       {"STRUCTURE", kiv::tag::kBlockStructure},
        {"ACCESS", kiv::tag::kBlockAccess},     {"ASSIGN", kiv::tag::kBlockAssign},
        {"DEFINE", kiv::tag::kBlockDefine},     {"UNION", kiv::tag::kBlockUnion},
    };
    for (const Kind& kind : kKinds)
        if (kind.word == typeWord)
            return kind.block;
    return kiv::tag::kBlockNone;
}

std::vector<KivEntityImage> KivPrgEntities(std::string_view text, uint32_t now) {
    std::vector<std::string> lines = KivSplitSourceLines(text);
    std::vector<KivEntityImage> entities;
    for (const KivPrgSpan& span : KivScanPrgLines(lines)) {
        KivEntityImage& e = entities.emplace_back();
        std::string prototype = KivNormalisePrototype(span.prototype);
        const std::string& type = KivPrototypeType(prototype).Name();
        e.type = kiv::tag::kTypeSource;
        e.block = KivBlockKindOf(type);
        e.prototype = span.prototype;
        e.display = KivEntityInfo(prototype);
        e.name = KivUpper(e.display);
        // The IDE names an access or assign after its class, its name and its kind.
        if (type == "ACCESS" || type == "ASSIGN")
            e.name += ":" + type;
        e.source = KivJoinSourceLines(lines, span.firstLine, span.lastLine);
        e.source.push_back('\0');
        e.created = e.built = now;
    }
    return entities;
}
