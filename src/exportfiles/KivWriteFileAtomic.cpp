#include "exportfiles/KivWriteFileAtomic.h"

#include "platform/KivAtomicFile.h"
#include "support/KivFileSpec.h"

bool KivWriteFileAtomic(std::string_view fileName, std::string_view bytes) {
    if (fileName.empty())
        return false;
    const auto host = KivFileSpec(fileName).HostPath();
    return host && kiv::platform::KivReplaceFile(*host, bytes);
}
