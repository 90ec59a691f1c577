// Any bytes as lines for the block-comment remover: the first byte gives the comment flag the
// first line starts with, the rest is split at LF. What a line gives must be no longer than it
// was, and a comment-free line without quotes or slashes must come back unchanged.
#include "exportfiles/KivPrgScan.h"

#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    bool inComment = (data[0] & 1) != 0;
    std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    while (true) {
        const size_t end = text.find('\n');
        std::string line(text.substr(0, end));
        const std::string before = line;
        const bool startedInComment = inComment;
        KivExpurgateLine(line, inComment);
        if (line.size() > before.size())
            std::abort();
        if (!startedInComment && before.find_first_of("/*\"'") == std::string::npos &&
            (line != before || inComment))
            std::abort();
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return 0;
}
