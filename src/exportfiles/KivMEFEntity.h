#pragma once

#include "exportfiles/KivEntityAbstract.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// One entity of a module in the record format (an MEF file or a module inside an AEF). Its
// source stays in the mapped file, which the entity keeps alive.
class KivMEFEntity : public KivEntityAbstract {
public:
    // The moments are UTC seconds as stored; the entity shows them in local time, converted when
    // they are read (most entities of a large file are never asked for theirs). A source of
    // nullptr data means the entity has no source record.
    KivMEFEntity(std::string_view name, std::string_view prototype, std::string_view source,
                 uint32_t lastBuild, uint32_t created, std::shared_ptr<const void> keepAlive = nullptr);

    KivDate CreateDate() const override;
    std::string CreateTime() const override;
    KivDate LastBuildDate() const override;
    std::string LastBuildTime() const override;
    std::string Source() const override;
    KivSymbol Type() const override;
    KivSymbol Visibility() const override;

    // Source without a copy: the bytes in the mapped file up to the NUL.
    std::string_view SourceText() const;

private:
    std::string_view m_source;
    uint32_t m_lastBuild = 0;
    uint32_t m_created = 0;
    std::shared_ptr<const void> m_keepAlive;
};
