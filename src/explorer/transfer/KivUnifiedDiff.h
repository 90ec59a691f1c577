#pragma once

#include <string>
#include <string_view>

// The unified diff of two texts taken as lines (CR LF or LF ends), as `diff -u` writes it: the
// two label lines, then hunks with `context` unchanged lines around each change. Empty when the
// lines are the same. Bytes are kept as they are; each line of the result ends in LF.
//
// The changes are the shortest edit between the two (Myers' algorithm) after the lines both
// texts start and end with are set aside; when the texts differ in so many lines that the
// search would grow beyond a bound, the middle is given as removed and added whole instead.
std::string KivUnifiedDiff(std::string_view before, std::string_view after, std::string_view beforeLabel,
                           std::string_view afterLabel, int context = 3);
