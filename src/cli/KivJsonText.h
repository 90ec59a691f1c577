#pragma once

#include "support/KivDate.h"
#include "platform/KivUtf8.h"

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>
#include <vector>

// How kivrepo's JSON documents show repository bytes and moments.
namespace kiv::cli {

using json = nlohmann::ordered_json;

// Repository bytes (Windows-1252) as the UTF-8 text JSON needs.
inline std::string Text(std::string_view bytes) {
    return KivAnsiToUtf8(bytes);
}

inline json Texts(const std::vector<std::string>& items) {
    json list = json::array();
    for (const std::string& item : items)
        list.push_back(Text(item));
    return list;
}

// A moment as YYYY-MM-DD hh:mm:ss; empty when the model has no date for it.
inline std::string Moment(const KivDate& date, const std::string& time) {
    return date.IsNull() ? std::string() : date.ToIso() + ' ' + time;
}

} // namespace kiv::cli
