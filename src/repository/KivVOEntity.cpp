#include "repository/KivVOEntity.h"

#include "engine/KivEngine.h"
#include "exportfiles/KivEntityText.h"
#include "repository/KivEntSymTypes.h"
#include "repository/KivRepoUtil.h"
#include "repository/KivVOModule.h"
#include "support/KivStringUtil.h"

#include <algorithm>

using kiv::repo::Engine;

KivVOEntity::KivVOEntity(uint32_t id) : KivVOEntity(nullptr, id) {}

KivVOEntity::KivVOEntity(std::shared_ptr<KivVOModule> owner, uint32_t id)
    : m_owner(std::move(owner)), m_id(id) {
    if (m_id == 0)
        return;
    uint32_t status = 0;
    m_name = kiv::repo::EntityName(m_id, status);
    SetStatus(status, "Error EntQueryName");
}

KivDate KivVOEntity::CreateDate() const {
    const uint32_t seconds = CreateUnixTime();
    return kiv::repo::MomentDate(Success(), seconds);
}

std::string KivVOEntity::CreateTime() const {
    const uint32_t seconds = CreateUnixTime();
    return kiv::repo::MomentTime(Success(), seconds);
}

KivDate KivVOEntity::LastBuildDate() const {
    const uint32_t seconds = LastBuildUnixTime();
    return kiv::repo::MomentDate(Success(), seconds);
}

std::string KivVOEntity::LastBuildTime() const {
    const uint32_t seconds = LastBuildUnixTime();
    return kiv::repo::MomentTime(Success(), seconds);
}

std::string KivVOEntity::VOPrototype() const {
    char text[256] = {};
    SetStatus(Engine().EntQueryProt(m_id, text, sizeof text), "Error EntQueryProt");
    text[sizeof text - 1] = '\0';
    // In place, as the text only gets shorter: a tab becomes a blank, so does a CR LF pair.
    size_t length = 0;
    for (size_t i = 0; text[i] != '\0'; ++i) {
        if (text[i] == '\r' && text[i + 1] == '\n') {
            text[length++] = ' ';
            ++i;
        } else {
            text[length++] = text[i] == '\t' ? ' ' : text[i];
        }
    }
    return KivAllTrim(std::string_view(text, length));
}

std::string KivVOEntity::Source() const {
    std::string source = Data();
    // The stored text ends in NUL bytes and seldom holds one before them.
    const size_t first = source.find('\0');
    if (first != std::string::npos)
        source.erase(std::remove(source.begin() + static_cast<std::ptrdiff_t>(first), source.end(), '\0'),
                     source.end());
    return source;
}

KivSymbol KivVOEntity::Type() const {
    return KivPrototypeType(Prototype());
}

KivSymbol KivVOEntity::Visibility() const {
    return KivPrototypeVisibility(Prototype());
}

bool KivVOEntity::IsVisible() const {
    uint32_t visible = 0;
    SetStatus(Engine().EntQueryAppearance(m_id, &visible), "Error EntQueryAppearance");
    return visible != 0;
}

KivSymbol KivVOEntity::BlockType() const {
    const uint32_t blockType = BlockTypeID();
    return Success() ? KivBlockTypeSymbol(blockType) : KivSymbol();
}

uint32_t KivVOEntity::BlockTypeID() const {
    uint32_t blockType = 0;
    SetStatus(Engine().EntQueryBlockType(m_id, &blockType), "Error EntQueryBlockType");
    return blockType;
}

uint32_t KivVOEntity::CreateUnixTime() const {
    uint32_t seconds = 0;
    const uint32_t status = Engine().EntQueryCreateTime(m_id, &seconds);
    SetStatus(status, "Error EntQueryCreateTime");
    return kiv::repo::LocalMoment(status, seconds);
}

std::string KivVOEntity::Record(uint32_t kind) const {
    KivRecordHandle record = 0;
    uint32_t length = 0;
    uint32_t present = 0;
    uint32_t reserved = 0;
    SetStatus(Engine().EntQueryData(m_id, kind, &record, &length, &present, &reserved), "Error EntQueryData");
    if (!Success())
        return {};
    // The whole record: a length cut to 16 bits would lose the end of a long source.
    std::string bytes;
    SetStatus(Engine().RecGet(record, length, &bytes), "Error RecGet");
    if (!Success())
        return {};
    return bytes; // moved out, where the conditional operator would copy
}

std::string KivVOEntity::CustomData() const {
    return Record(4);
}

std::string KivVOEntity::Data() const {
    const uint32_t type = NumType();
    if (type != 1 && type != 3 && type != 4)
        return {};
    return Record(7);
}

uint32_t KivVOEntity::ID() const {
    return m_id;
}

uint32_t KivVOEntity::LastBuildUnixTime() const {
    uint32_t seconds = 0;
    const uint32_t status = Engine().EntQueryTime(m_id, &seconds);
    SetStatus(status, "Error EntQueryTime");
    return kiv::repo::LocalMoment(status, seconds);
}

uint32_t KivVOEntity::NumType() const {
    uint32_t type = 0;
    SetStatus(Engine().EntQueryType(m_id, &type), "Error EntQueryType");
    return type;
}

std::shared_ptr<KivVOModule> KivVOEntity::Owner() const {
    return m_owner;
}

uint32_t KivVOEntity::OwnerID() const {
    uint32_t modId = 0;
    SetStatus(Engine().EntQueryModule(m_id, &modId), "Error EntQueryModule");
    return modId;
}
