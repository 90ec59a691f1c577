#include "platform/KivSymbol.h"

#include <deque>
#include <mutex>
#include <unordered_map>

namespace {

struct AtomTable {
    std::mutex lock;
    std::deque<std::string> names{std::string()}; // atom 0 is the null symbol
    std::unordered_map<std::string, uint32_t> ids;
};

AtomTable& Table() {
    static AtomTable table;
    return table;
}

} // namespace

KivSymbol::KivSymbol(std::string_view name) {
    if (name.empty())
        return;
    std::string upper(name);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    AtomTable& t = Table();
    std::lock_guard guard(t.lock);
    auto [it, added] = t.ids.try_emplace(upper, static_cast<uint32_t>(t.names.size()));
    if (added)
        t.names.push_back(upper);
    m_id = it->second;
}

KivSymbol KivSymbol::FromId(uint32_t id) {
    AtomTable& t = Table();
    std::lock_guard guard(t.lock);
    KivSymbol s;
    if (id < t.names.size())
        s.m_id = id;
    return s;
}

const std::string& KivSymbol::Name() const {
    AtomTable& t = Table();
    std::lock_guard guard(t.lock);
    // Deque elements never move, so the reference stays good after the lock is released.
    return t.names[m_id];
}
