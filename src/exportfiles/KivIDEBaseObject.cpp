#include "exportfiles/KivIDEBaseObject.h"

uint32_t KivIDEBaseObject::ErrorCode() const {
    return m_errorCode;
}

std::string KivIDEBaseObject::ErrorString() const {
    return m_errorString;
}

std::string KivIDEBaseObject::Name() const {
    return m_name;
}

bool KivIDEBaseObject::Success() const {
    return m_errorCode == 0;
}

void KivIDEBaseObject::SetStatus(uint32_t code, std::string_view failureText) const {
    m_errorCode = code;
    if (code != 0)
        m_errorString = failureText;
}
