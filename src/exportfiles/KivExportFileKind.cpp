#include "exportfiles/KivExportFileKind.h"

#include "exportfiles/KivExportTags.h"
#include "support/KivRecordStream.h"

KivExportFileKind KivExportFileKindOf(std::string_view head) {
    if (head.size() < kKivRecordHeadSize || KivRecordU16(head, 0) != kiv::tag::kHeader)
        return KivExportFileKind::Prg;
    const uint32_t length = KivRecordU32(head, 2);
    if (length == kiv::tag::kAefHeaderSize)
        return KivExportFileKind::Aef;
    if (length == kiv::tag::kMefHeaderSize)
        return KivExportFileKind::Mef;
    return KivExportFileKind::Prg;
}
