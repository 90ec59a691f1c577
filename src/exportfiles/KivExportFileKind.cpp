#include "exportfiles/KivExportFileKind.h"

#include "exportfiles/KivExportTags.h"
#include "support/KivMappedFile.h"
#include "support/KivRecordStream.h"

std::optional<KivExportKind> KivExportFileKind(const std::string& file) {
    KivMappedFile probe(file);
    if (!probe.Open())
        return std::nullopt;
    const std::string_view head = probe.View().substr(0, kKivRecordHeadSize);
    if (head.size() < kKivRecordHeadSize || KivRecordU16(head, 0) != kiv::tag::kHeader)
        return KivExportKind::Prg;
    const uint32_t length = KivRecordU32(head, 2);
    if (length == kiv::tag::kAefHeaderSize)
        return KivExportKind::Aef;
    if (length == kiv::tag::kMefHeaderSize)
        return KivExportKind::Mef;
    return KivExportKind::Prg;
}
