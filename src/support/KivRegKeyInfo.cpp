#include "support/KivRegKeyInfo.h"

#include "platform/KivRegDefs.h"
#include "support/KivDateTime.h"

#include <limits>

KivRegKeyInfo::KivRegKeyInfo(uint32_t subKeys, uint32_t maxSubKeyLen, uint32_t values,
                             uint32_t maxValueNameLen, uint32_t maxValueLen, uint64_t lastWriteFileTime)
    : m_subKeys(subKeys), m_maxSubKeyLen(maxSubKeyLen), m_values(values), m_maxValueNameLen(maxValueNameLen),
      m_maxValueLen(maxValueLen) {
    _SetDateTime(lastWriteFileTime);
}

void KivRegKeyInfo::_SetDateTime(uint64_t fileTime) {
    uint64_t seconds = 0;
    if (fileTime > kiv::reg::kFileTimeUnixEpoch)
        seconds = (fileTime - kiv::reg::kFileTimeUnixEpoch) / 10000000u;
    if (seconds > std::numeric_limits<uint32_t>::max())
        seconds = std::numeric_limits<uint32_t>::max();
    const uint32_t local = KivGMTUnixTimeToLocalUnixTime(static_cast<uint32_t>(seconds));
    // Through the packed form, as the platform hands the time over: even seconds, 1980 to 2107.
    const auto [date, time] = KivUnixTimeToDateTime(local);
    const uint16_t packedDate = KivDate2PackedWord(date);
    m_lastWriteDate = KivPackedWord2Date(packedDate);
    m_lastWriteTime = KivPackedWord2Time(packedDate == 0 ? 0 : KivTime2PackedWord(time));
}
