#pragma once

#include "exportfiles/KivIDEBaseObject.h"
#include "platform/KivSymbol.h"
#include "support/KivDate.h"

#include <string>

// The type and visibility of an entity whose source supplies none; no entity type has it.
KivSymbol KivAbstractSymbol();

// One entity (function, method, class, define, resource ...), whatever holds it. Every
// operation has a harmless default so a source overrides only what it can supply.
class KivEntityAbstract : public KivIDEBaseObject {
public:
    virtual KivDate CreateDate() const;
    virtual std::string CreateTime() const;
    // The display name, "Class:Name" for members (see KivEntityInfo).
    virtual std::string Info() const;
    virtual KivDate LastBuildDate() const;
    virtual std::string LastBuildTime() const;
    // VOPrototype normalised once (see KivNormalisePrototype) and kept.
    virtual std::string Prototype() const;
    virtual std::string VOPrototype() const;
    virtual std::string Source() const;
    virtual KivSymbol Type() const;
    virtual KivSymbol Visibility() const;
    virtual bool IsVisible() const;

protected:
    KivEntityAbstract() = default;
    KivEntityAbstract(std::string name, std::string voPrototype)
        : KivIDEBaseObject(std::move(name)), m_voPrototype(std::move(voPrototype)) {}

    std::string m_voPrototype;

private:
    mutable std::string m_prototype;
    mutable bool m_prototypeKnown = false;
};
