#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

// Sorts objects ascending by Name (byte order), objects of one name in the order they came.
template <class T> void KivSortByName(std::vector<std::shared_ptr<T>>& objects) {
    // Each name is read once: Name returns a copy, and a sort compares each element many times.
    // The sort moves positions, not names and objects.
    std::vector<std::string> names;
    names.reserve(objects.size());
    for (const auto& object : objects)
        names.push_back(object->Name());
    std::vector<uint32_t> order(objects.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<uint32_t>(i);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return names[a] < names[b]; });
    std::vector<std::shared_ptr<T>> sorted;
    sorted.reserve(objects.size());
    for (uint32_t i : order)
        sorted.push_back(std::move(objects[i]));
    objects = std::move(sorted);
}
