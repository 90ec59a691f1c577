#pragma once

#include "support/KivDate.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

// A value of any of the run-time's plain types, as configuration values travel: nil, text,
// whole number, fractional number, logical or date. The alternatives are in the order of
// KivUsualType.
using KivUsual = std::variant<std::monostate, std::string, int64_t, double, bool, KivDate>;

enum class KivUsualType { Nil, String, Integer, Float, Logical, Date };

KivUsualType KivUsualTypeOf(const KivUsual& value);

// The value's plain text: numbers in decimal, logicals as ".T." or ".F.", dates as their eight
// digits YYYYMMDD (eight blanks for the null date), nil as an empty text.
std::string KivUsualToText(const KivUsual& value);

// The leading decimal number of a text (blanks before it skipped, sign and fraction allowed);
// 0 when the text does not begin with one.
double KivVal(std::string_view text);

// Text turned into a value of the type: a text as it is; a date from eight digits YYYYMMDD;
// a logical true only for ".T." in either case; numbers by KivVal, a whole number dropping any
// fraction; nil for nil.
KivUsual KivUsualFromText(std::string_view text, KivUsualType type);
