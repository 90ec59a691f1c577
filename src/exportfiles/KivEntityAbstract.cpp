#include "exportfiles/KivEntityAbstract.h"

#include "exportfiles/KivEntityText.h"

KivSymbol KivAbstractSymbol() {
    return KivSymbol("aSymbol");
}

KivDate KivEntityAbstract::CreateDate() const {
    return {};
}

std::string KivEntityAbstract::CreateTime() const {
    return std::string(KivNoReturnString);
}

std::string KivEntityAbstract::Info() const {
    return KivEntityInfo(Prototype(), Type());
}

KivDate KivEntityAbstract::LastBuildDate() const {
    return {};
}

std::string KivEntityAbstract::LastBuildTime() const {
    return std::string(KivNoReturnString);
}

std::string KivEntityAbstract::Prototype() const {
    if (!m_prototypeKnown) {
        m_prototype = KivNormalisePrototype(VOPrototype());
        m_prototypeKnown = true;
    }
    return m_prototype;
}

std::string KivEntityAbstract::VOPrototype() const {
    return m_voPrototype;
}

std::string KivEntityAbstract::Source() const {
    return std::string(KivNoReturnString);
}

KivSymbol KivEntityAbstract::Type() const {
    return KivAbstractSymbol();
}

KivSymbol KivEntityAbstract::Visibility() const {
    return KivAbstractSymbol();
}

bool KivEntityAbstract::IsVisible() const {
    return true;
}
