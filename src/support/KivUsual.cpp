#include "support/KivUsual.h"

#include "support/KivStringUtil.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

KivUsualType KivUsualTypeOf(const KivUsual& value) {
    return static_cast<KivUsualType>(value.index());
}

std::string KivUsualToText(const KivUsual& value) {
    switch (KivUsualTypeOf(value)) {
    case KivUsualType::Nil:
        return {};
    case KivUsualType::String:
        return std::get<std::string>(value);
    case KivUsualType::Integer:
        return std::to_string(std::get<int64_t>(value));
    case KivUsualType::Float: {
        char buffer[64];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, std::get<double>(value));
        return std::string(buffer, result.ptr);
    }
    case KivUsualType::Logical:
        return std::get<bool>(value) ? ".T." : ".F.";
    case KivUsualType::Date:
        return std::get<KivDate>(value).DToS();
    }
    return {};
}

double KivVal(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i;
    }
    double number = 0;
    auto result = std::from_chars(text.data() + start, text.data() + i, number);
    if (result.ec == std::errc::result_out_of_range) {
        // Hundreds of digits: too large for a double, or so small it is 0.
        std::string_view whole = text.substr(start, i - start);
        whole = whole.substr(0, whole.find('.'));
        number = whole.find_first_not_of('0') == std::string_view::npos ? 0 : HUGE_VAL;
    } else if (result.ec != std::errc()) {
        return 0; // "." or a sign alone is no number
    }
    return negative ? -number : number;
}

KivUsual KivUsualFromText(std::string_view text, KivUsualType type) {
    switch (type) {
    case KivUsualType::String:
        return std::string(text);
    case KivUsualType::Date:
        return KivDate::FromDToS(std::string(text));
    case KivUsualType::Logical:
        return KivUpper(text) == ".T.";
    case KivUsualType::Float:
        return KivVal(text);
    case KivUsualType::Integer: {
        double number = std::trunc(KivVal(text));
        // Out-of-range numbers saturate instead of wrapping into nonsense.
        if (!(number > static_cast<double>(std::numeric_limits<int64_t>::min())))
            return std::numeric_limits<int64_t>::min();
        if (!(number < static_cast<double>(std::numeric_limits<int64_t>::max())))
            return std::numeric_limits<int64_t>::max();
        return static_cast<int64_t>(number);
    }
    case KivUsualType::Nil:
        break;
    }
    return {};
}
