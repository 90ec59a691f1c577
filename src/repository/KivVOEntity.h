#pragma once

#include "exportfiles/KivEntityAbstract.h"

#include <cstdint>
#include <memory>
#include <string>

class KivVOModule;

// One entity of a repository module, addressed by its engine ID; every property is read from
// the engine anew, except the normalised prototype, which is kept once read.
class KivVOEntity : public KivEntityAbstract {
public:
    // Without an owner.
    explicit KivVOEntity(uint32_t id = 0);
    KivVOEntity(std::shared_ptr<KivVOModule> owner, uint32_t id);

    KivDate CreateDate() const override;
    std::string CreateTime() const override;
    KivDate LastBuildDate() const override;
    std::string LastBuildTime() const override;
    // The stored prototype on one line: tabs and CR LF pairs become blanks, the ends are trimmed.
    std::string VOPrototype() const override;
    // Data without its NUL bytes.
    std::string Source() const override;
    KivSymbol Type() const override;
    KivSymbol Visibility() const override;
    bool IsVisible() const override;
    // The symbol of BlockTypeID; the null symbol when the read fails or the number has none.
    virtual KivSymbol BlockType() const;
    virtual uint32_t BlockTypeID() const;
    virtual uint32_t CreateUnixTime() const;
    // The designer's binary (record kind 4).
    virtual std::string CustomData() const;
    // The source as stored (record kind 7), NUL bytes included; empty without an engine call
    // unless NumType is 1, 3 or 4.
    virtual std::string Data() const;
    virtual uint32_t ID() const;
    virtual uint32_t LastBuildUnixTime() const;
    virtual uint32_t NumType() const;
    virtual std::shared_ptr<KivVOModule> Owner() const;
    virtual uint32_t OwnerID() const;

private:
    std::string Record(uint32_t kind) const;

    std::shared_ptr<KivVOModule> m_owner;
    uint32_t m_id = 0;
};
