#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

// Common base of the repository and file-backed objects: the status of the last operation, its
// text, and the object's name. Operations never throw; callers test Success after a call.
class KivIDEBaseObject {
public:
    virtual ~KivIDEBaseObject() = default;

    virtual uint32_t ErrorCode() const;
    virtual std::string ErrorString() const;
    virtual std::string Name() const;
    virtual bool Success() const;

protected:
    KivIDEBaseObject() = default;
    explicit KivIDEBaseObject(std::string name) : m_name(std::move(name)) {}

    // Records the status of an operation. The text is set only on failure and stays after a
    // later success, so the first cause remains readable.
    void SetStatus(uint32_t code, std::string_view failureText) const;

    std::string m_name;

private:
    // Reading a property may call the engine, and that call's status is recorded too.
    mutable uint32_t m_errorCode = 0;
    mutable std::string m_errorString;
};

// What a property of the abstract application, module and entity gives when its source cannot
// supply the text.
inline constexpr std::string_view KivNoReturnString = "(no return string defined)";
