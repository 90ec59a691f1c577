// Any bytes as PRG source: split into lines, scanned into entities, each prototype normalised
// and named. The spans must stay inside the source and in order.
#include "exportfiles/KivEntityText.h"
#include "exportfiles/KivPrgScan.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto lines = KivSplitSourceLines(text);
    const auto spans = KivScanPrgLines(lines);
    uint32_t previousLast = 0;
    for (const KivPrgSpan& span : spans) {
        if (span.firstLine <= previousLast || span.firstLine > span.lastLine || span.lastLine > lines.size())
            std::abort();
        previousLast = span.lastLine;
        const std::string prototype = KivNormalisePrototype(span.prototype);
        KivEntityInfo(prototype);
        KivPrototypeVisibility(prototype);
        KivJoinSourceLines(lines, span.firstLine, span.lastLine);
    }
    // Texts handed over whole, not only scanned lines, reach the text rules too.
    KivEntityInfo(KivNormalisePrototype(text));
    KivEntityInfo(text);
    bool inComment = false;
    for (std::string line : lines)
        KivExpurgateLine(line, inComment);
    return 0;
}
