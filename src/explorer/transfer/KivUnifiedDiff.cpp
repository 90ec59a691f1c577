#include "explorer/transfer/KivUnifiedDiff.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace {

// Beyond this many differing lines the shortest edit is not searched for: the search keeps a row
// of positions per step, which grows with the square of the differences.
constexpr int kMaxEdit = 2000;

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos)
            end = text.size();
        if (end > start && text[end - 1] == '\r')
            --end;
        lines.push_back(text.substr(start, end - start));
        start = next;
    }
    return lines;
}

enum class Op : char { Same = ' ', Removed = '-', Added = '+' };

// The shortest edit turning a into b (line numbers), or nothing when it takes more than kMaxEdit.
bool ShortestEdit(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, std::vector<Op>& ops) {
    const int n = static_cast<int>(a.size());
    const int m = static_cast<int>(b.size());
    const int max = std::min(n + m, kMaxEdit);
    const int offset = max + 1;
    std::vector<int> v(static_cast<size_t>(2 * max + 3), 0);
    // trace[d]: v[-d-1 .. d+1] as it stood when step d began.
    std::vector<std::vector<int>> trace;
    for (int d = 0; d <= max; ++d) {
        trace.emplace_back(v.begin() + (offset - d - 1), v.begin() + (offset + d + 2));
        for (int k = -d; k <= d; k += 2) {
            int x = (k == -d || (k != d && v[offset + k - 1] < v[offset + k + 1])) ? v[offset + k + 1]
                                                                                      : v[offset + k - 1] + 1;
            int y = x - k;
            while (x < n && y < m && a[x] == b[y])
                ++x, ++y;
            v[offset + k] = x;
            if (x >= n && y >= m) {
                // Walk back through the steps, collecting the edit from its end.
                std::vector<Op> reversed;
                int cx = n, cy = m;
                for (int step = d; step > 0; --step) {
                    const std::vector<int>& row = trace[step];
                    auto at = [&](int kk) { return row[kk + step + 1]; };
                    const int ck = cx - cy;
                    const int pk = (ck == -step || (ck != step && at(ck - 1) < at(ck + 1))) ? ck + 1 : ck - 1;
                    const int px = at(pk);
                    const int py = px - pk;
                    while (cx > px && cy > py)
                        reversed.push_back(Op::Same), --cx, --cy;
                    reversed.push_back(cx == px ? Op::Added : Op::Removed);
                    cx = px;
                    cy = py;
                }
                while (cx > 0 && cy > 0)
                    reversed.push_back(Op::Same), --cx, --cy;
                ops.insert(ops.end(), reversed.rbegin(), reversed.rend());
                return true;
            }
        }
    }
    return false;
}

std::string Range(size_t start, size_t length) {
    // An empty range names the line before it, as diff does.
    std::string text = std::to_string(length == 0 ? start : start + 1);
    if (length != 1)
        text += "," + std::to_string(length);
    return text;
}

} // namespace

std::string KivUnifiedDiff(std::string_view before, std::string_view after, std::string_view beforeLabel,
                           std::string_view afterLabel, int context) {
    const std::vector<std::string_view> a = Lines(before);
    const std::vector<std::string_view> b = Lines(after);
    size_t prefix = 0;
    while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix])
        ++prefix;
    size_t suffix = 0;
    while (suffix < a.size() - prefix && suffix < b.size() - prefix &&
           a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
        ++suffix;
    if (prefix == a.size() && prefix == b.size())
        return {};

    // The middle lines as numbers, equal lines equal numbers, so the search compares integers.
    std::unordered_map<std::string_view, uint32_t> ids;
    auto numbered = [&](const std::vector<std::string_view>& lines) {
        std::vector<uint32_t> out;
        for (size_t i = prefix; i < lines.size() - suffix; ++i)
            out.push_back(ids.emplace(lines[i], static_cast<uint32_t>(ids.size())).first->second);
        return out;
    };
    const std::vector<uint32_t> midA = numbered(a);
    const std::vector<uint32_t> midB = numbered(b);
    std::vector<Op> ops(prefix, Op::Same);
    if (!ShortestEdit(midA, midB, ops)) {
        ops.insert(ops.end(), midA.size(), Op::Removed);
        ops.insert(ops.end(), midB.size(), Op::Added);
    }
    ops.insert(ops.end(), suffix, Op::Same);

    // Line numbers of both texts before each step.
    std::vector<size_t> lineA(ops.size() + 1, 0), lineB(ops.size() + 1, 0);
    for (size_t i = 0; i < ops.size(); ++i) {
        lineA[i + 1] = lineA[i] + (ops[i] != Op::Added);
        lineB[i + 1] = lineB[i] + (ops[i] != Op::Removed);
    }

    std::string out;
    out.append("--- ").append(beforeLabel).append("\n+++ ").append(afterLabel).append("\n");
    const size_t ctx = static_cast<size_t>(std::max(context, 0));
    size_t i = 0;
    while (i < ops.size()) {
        while (i < ops.size() && ops[i] == Op::Same)
            ++i;
        if (i == ops.size())
            break;
        const size_t start = i >= ctx ? i - ctx : 0;
        // The hunk runs on while the next change is close enough for the contexts to meet.
        size_t last = i;
        for (size_t j = i; j < ops.size(); ++j) {
            if (ops[j] == Op::Same)
                continue;
            if (j - last > 2 * ctx)
                break;
            last = j;
        }
        const size_t end = std::min(ops.size(), last + 1 + ctx);
        out += "@@ -" + Range(lineA[start], lineA[end] - lineA[start]) + " +" +
               Range(lineB[start], lineB[end] - lineB[start]) + " @@\n";
        for (size_t j = start; j < end; ++j) {
            out += static_cast<char>(ops[j]);
            out += ops[j] == Op::Added ? b[lineB[j]] : a[lineA[j]];
            out += '\n';
        }
        i = end;
    }
    return out;
}
