#pragma once

#include <algorithm>
#include <concepts>
#include <cstddef>
#include <functional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

// An array with a cursor. Positions are 1-based as the run-time counts them; 0 is the cursor of
// an empty array. Counts are size_t: a list of source lines must hold a PRG file of any length.
// The end flags read as Eof() and Bof() because EOF is a C library macro.
template <class T> class KivArray {
public:
    KivArray() = default;
    explicit KivArray(std::vector<T> contents) { Init(std::move(contents)); }
    KivArray(const KivArray&) = default;
    KivArray(KivArray&&) noexcept = default;
    KivArray& operator=(const KivArray&) = default;
    KivArray& operator=(KivArray&&) noexcept = default;
    virtual ~KivArray() = default;

    // Adopts the elements; the cursor goes to the first one.
    void Init(std::vector<T> contents = {}) {
        m_items = std::move(contents);
        m_pos = m_items.empty() ? 0 : 1;
        m_eof = m_bof = false;
    }

    const std::vector<T>& Contents() const { return m_items; }
    // Takes new elements; the cursor keeps its position as far as the new count allows.
    const std::vector<T>& Contents(std::vector<T> contents) {
        m_items = std::move(contents);
        m_pos = m_items.empty() ? 0 : std::clamp<size_t>(m_pos, 1, m_items.size());
        return m_items;
    }
    const std::vector<T>& Contents(const KivArray& other) { return Contents(other.m_items); }
    void FillUsing(const std::vector<T>& items) { Contents(items); }

    size_t Len() const { return m_items.size(); }
    size_t Size() const { return m_items.size(); }
    size_t Pos() const { return m_pos; }
    bool Empty() const { return m_items.empty(); }
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }

    void Add(T value) {
        m_items.push_back(std::move(value));
        m_pos = m_items.size();
    }
    void Append(T value) { Add(std::move(value)); }

    // Inserts before the position (the cursor by default) and moves the cursor onto the new
    // element. A position past the end appends, so the value is never dropped.
    void Ins(T value) { Ins(std::move(value), m_pos); }
    void Ins(T value, size_t position) {
        position = std::clamp<size_t>(position, 1, m_items.size() + 1);
        m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(position - 1), _Store(std::move(value)));
        m_pos = position;
    }
    void Insert(T value) { Ins(std::move(value)); }
    void Insert(T value, size_t position) { Ins(std::move(value), position); }

    // Removes the element; the cursor keeps its number, or goes to the new last element.
    bool Del() { return Del(m_pos); }
    bool Del(size_t position) {
        if (!Valid(position))
            return false;
        m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(position - 1));
        m_pos = std::min(m_pos, m_items.size());
        return true;
    }
    bool Delete() { return Del(); }
    bool Delete(size_t position) { return Del(position); }
    bool DeleteCurrent() { return Del(m_pos); }

    // Reading or writing at a position moves the cursor there; outside the array nothing
    // moves and a read gives a default element.
    T Get() { return Get(m_pos); }
    T Get(size_t position) {
        if (!Valid(position))
            return T{};
        m_pos = position;
        return m_items[position - 1];
    }
    bool Put(T value) { return Put(std::move(value), m_pos); }
    bool Put(T value, size_t position) {
        if (!Valid(position))
            return false;
        m_items[position - 1] = _Store(std::move(value));
        m_pos = position;
        return true;
    }
    bool Set(T value) { return Put(std::move(value)); }
    bool Set(T value, size_t position) { return Put(std::move(value), position); }
    T Replace(T value) { return Replace(std::move(value), m_pos); }
    T Replace(T value, size_t position) {
        if (!Valid(position))
            return T{};
        T old = std::move(m_items[position - 1]);
        m_items[position - 1] = _Store(std::move(value));
        m_pos = position;
        return old;
    }

    T Current() const { return Valid(m_pos) ? m_items[m_pos - 1] : T{}; }
    bool Current(T value) {
        if (!Valid(m_pos))
            return false;
        m_items[m_pos - 1] = _Store(std::move(value));
        return true;
    }

    // Positioned moves clear both end flags: a flag left from an earlier walk would end the
    // next walk before it starts.
    void GoTop() { MoveTo(m_items.empty() ? 0 : 1); }
    void GoBottom() { MoveTo(m_items.size()); }
    bool Goto(size_t n) {
        if (!Valid(n))
            return false;
        MoveTo(n);
        return true;
    }

    // Moving past an end sets that end's flag and leaves the cursor on the first or last
    // element; a move that stays inside clears both flags. An empty array is at both ends.
    void Skip(std::ptrdiff_t n = 1) {
        size_t len = m_items.size();
        if (len == 0) {
            m_eof = m_bof = true;
            return;
        }
        size_t distance = n < 0 ? 0 - static_cast<size_t>(n) : static_cast<size_t>(n);
        if (n < 0 ? distance >= m_pos : distance > len - m_pos) {
            m_bof = n < 0;
            m_eof = !m_bof;
            m_pos = m_bof ? 1 : len;
            return;
        }
        MoveTo(n < 0 ? m_pos - distance : m_pos + distance);
    }
    void SkipNext() { Skip(1); }
    void SkipPrevious() { Skip(-1); }

    // Position of the first match, 0 when none; the cursor does not move. Texts match as the
    // run-time's array scan compares them: Scan and Seek take an element that begins with the
    // value, ScanExact wants the whole element.
    size_t Scan(const T& value) const {
        return Find([&](const T& item) { return BeginsWith(item, value); });
    }
    template <class Test>
    requires std::predicate<Test&, const T&> size_t Scan(Test test)
    const { return Find(test); }
    size_t ScanExact(const T& value) const {
        return Find([&](const T& item) { return item == value; });
    }
    size_t Seek(const T& value) const { return Scan(value); }

    // Sorts in place, keeping equal elements in their order; the cursor keeps its number.
    template <class Compare = std::less<>> void Sort(Compare order = {}) {
        std::stable_sort(m_items.begin(), m_items.end(), order);
    }

    void Zap() {
        m_items.clear();
        m_pos = 0;
        m_eof = m_bof = false;
    }
    void Clear() { Zap(); }

protected:
    // Every value that replaces or joins the elements through Ins, Put, Replace or Current
    // passes here first; a derived list can clean it.
    virtual T _Store(T value) const { return value; }

private:
    bool Valid(size_t position) const { return position >= 1 && position <= m_items.size(); }

    void MoveTo(size_t position) {
        m_pos = position;
        m_eof = m_bof = false;
    }

    template <class Test> size_t Find(Test&& test) const {
        for (size_t i = 0; i < m_items.size(); ++i)
            if (test(m_items[i]))
                return i + 1;
        return 0;
    }

    static bool BeginsWith(const T& item, const T& value) {
        if constexpr (std::is_same_v<T, std::string>)
            return item.compare(0, value.size(), value) == 0;
        else
            return item == value;
    }

    std::vector<T> m_items;
    size_t m_pos = 0;
    bool m_eof = false;
    bool m_bof = false;
};
