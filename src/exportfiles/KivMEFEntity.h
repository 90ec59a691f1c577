#pragma once

#include "exportfiles/KivEntityAbstract.h"

#include <cstdint>
#include <string>
#include <string_view>

// One entity of a module in the record format (an MEF file or a module inside an AEF). Its
// name, prototype and source stay in the mapped file, which whoever made the entity keeps alive
// as long as the entity: each text is cleaned when it is read, so making an entity copies and
// allocates nothing.
class KivMEFEntity : public KivEntityAbstract {
public:
    // The texts as stored. The moments are UTC seconds as stored; the entity shows them in local
    // time, converted when they are read (most entities of a large file are never asked for
    // theirs). A source of nullptr data means the entity has no source record.
    KivMEFEntity(std::string_view name, std::string_view prototype, std::string_view source,
                 uint32_t lastBuild, uint32_t created);

    // Tabs as blanks, trimmed.
    std::string Name() const override;
    KivDate CreateDate() const override;
    std::string CreateTime() const override;
    KivDate LastBuildDate() const override;
    std::string LastBuildTime() const override;
    // VOPrototype normalised once and kept, as KivEntityAbstract does, without a copy of
    // VOPrototype on the way.
    std::string Prototype() const override;
    // Tabs as blanks, each parenthesis between blanks, trimmed; made once and kept.
    std::string VOPrototype() const override;
    std::string Source() const override;
    KivSymbol Type() const override;
    KivSymbol Visibility() const override;

    // Source without a copy: the bytes in the mapped file up to the NUL.
    std::string_view SourceText() const;

private:
    std::string_view m_storedName;
    std::string_view m_storedPrototype;
    std::string_view m_source;
    uint32_t m_lastBuild = 0;
    uint32_t m_created = 0;
    mutable std::string m_cleaned;
    mutable bool m_cleanedKnown = false;
    mutable std::string m_prototype;
    mutable bool m_prototypeKnown = false;
};
