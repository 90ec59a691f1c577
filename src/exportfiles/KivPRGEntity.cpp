#include "exportfiles/KivPRGEntity.h"

#include "exportfiles/KivEntityText.h"
#include "exportfiles/KivPrgScan.h"
#include "exportfiles/KivSourceLines.h"

KivPRGEntity::KivPRGEntity(std::string name, std::string prototype,
                           std::shared_ptr<const KivSourceLines> lines, uint32_t firstLine, uint32_t lastLine,
                           KivDate createDate, std::string createTime, KivDate lastBuildDate,
                           std::string lastBuildTime)
    : KivEntityAbstract(std::move(name), std::move(prototype)), m_lines(std::move(lines)),
      m_firstLine(firstLine), m_lastLine(lastLine), m_createDate(createDate),
      m_createTime(std::move(createTime)), m_lastBuildDate(lastBuildDate),
      m_lastBuildTime(std::move(lastBuildTime)) {
    // Info as this entity's Type gives it, without making a symbol of the type word for each.
    if (m_name.empty())
        m_name = KivEntityInfo(Prototype());
}

KivDate KivPRGEntity::CreateDate() const {
    return m_createDate;
}

std::string KivPRGEntity::CreateTime() const {
    return m_createTime;
}

KivDate KivPRGEntity::LastBuildDate() const {
    return m_lastBuildDate;
}

std::string KivPRGEntity::LastBuildTime() const {
    return m_lastBuildTime;
}

std::string KivPRGEntity::Source() const {
    if (!m_lines)
        return {};
    return KivJoinSourceLineViews(m_lines->Lines(), m_firstLine, m_lastLine);
}

KivSymbol KivPRGEntity::Type() const {
    return KivPrototypeType(Prototype());
}

KivSymbol KivPRGEntity::Visibility() const {
    return KivPrototypeVisibility(Prototype());
}
