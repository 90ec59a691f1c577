// Any bytes as PRG source, both handed over as a text and read from a file: the entities walked,
// every property read, their lines checked to lie inside the source and not to overlap.
#include "KivFuzzFile.h"
#include "KivFuzzWalk.h"

#include "exportfiles/KivPRGEntity.h"
#include "exportfiles/KivPRGFile.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

void Check(KivPRGFile& prg) {
    KivFuzzWalkModule(prg);
    std::vector<std::pair<uint32_t, uint32_t>> spans;
    for (const auto& entity : prg.EntityList()) {
        const auto* e = dynamic_cast<const KivPRGEntity*>(entity.get());
        if (e == nullptr || e->FirstLine() < 1 || e->FirstLine() > e->LastLine() ||
            e->LastLine() > prg.LineCount())
            std::abort();
        spans.emplace_back(e->FirstLine(), e->LastLine());
    }
    std::sort(spans.begin(), spans.end());
    for (size_t i = 1; i < spans.size(); ++i)
        if (spans[i].first <= spans[i - 1].second)
            std::abort();
    prg.ExportSource(0, UINT32_MAX);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    KivPRGFile given("fuzz.prg", text);
    Check(given);
    KivPRGFile read(KivFuzzFile(data, size));
    Check(read);
    return 0;
}
