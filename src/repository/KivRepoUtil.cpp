#include "repository/KivRepoUtil.h"

#include "engine/KivCurrentEngine.h"
#include "engine/KivEngine.h"
#include "support/KivDateTime.h"

#include <algorithm>

namespace kiv::repo {

KivEngine& Engine() {
    return KivGetEngine();
}

std::string TextBuffer::Text() const {
    auto end = std::find(m_bytes.begin(), m_bytes.end(), '\0');
    return std::string(m_bytes.begin(), end);
}

std::string EntityName(uint32_t entId, uint32_t& status) {
    char buffer[256] = {};
    status = Engine().EntQueryNameText(entId, buffer, sizeof buffer);
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

uint32_t LocalMoment(uint32_t status, uint32_t gmtSeconds) {
    return status == 0 ? KivGMTUnixTimeToLocalUnixTime(gmtSeconds) : gmtSeconds;
}

KivDate MomentDate(bool success, uint32_t seconds) {
    return success ? KivUnixTimeToDateTime(seconds).first : KivDate();
}

std::string MomentTime(bool success, uint32_t seconds) {
    return success ? KivTString(seconds % 86400) : std::string();
}

} // namespace kiv::repo
