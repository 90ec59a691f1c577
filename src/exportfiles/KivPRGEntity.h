#pragma once

#include "exportfiles/KivEntityAbstract.h"

#include <cstdint>
#include <memory>
#include <string>

class KivSourceLines;

// One entity of a PRG source: lines first to last (1-based, inclusive) of its file's line list,
// which it shares, so its Source stays readable after the file object is closed.
class KivPRGEntity : public KivEntityAbstract {
public:
    // An empty name takes the entity's Info.
    KivPRGEntity(std::string name, std::string prototype, std::shared_ptr<const KivSourceLines> lines,
                 uint32_t firstLine, uint32_t lastLine, KivDate createDate, std::string createTime,
                 KivDate lastBuildDate, std::string lastBuildTime);

    KivDate CreateDate() const override;
    std::string CreateTime() const override;
    KivDate LastBuildDate() const override;
    std::string LastBuildTime() const override;
    std::string Source() const override;
    KivSymbol Type() const override;
    KivSymbol Visibility() const override;

    uint32_t FirstLine() const { return m_firstLine; }
    uint32_t LastLine() const { return m_lastLine; }

private:
    std::shared_ptr<const KivSourceLines> m_lines;
    uint32_t m_firstLine;
    uint32_t m_lastLine;
    KivDate m_createDate;
    std::string m_createTime;
    KivDate m_lastBuildDate;
    std::string m_lastBuildTime;
};
