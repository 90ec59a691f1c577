#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A symbol of the run-time's atom table: an interned upper-case name. Equal names give equal
// symbols for the life of the process; the default symbol is the null symbol (no name).
class KivSymbol {
public:
    KivSymbol() = default;
    // Interns the name in upper case (ASCII letters); an empty name gives the null symbol.
    explicit KivSymbol(std::string_view name);

    // The symbol with that atom number, or the null symbol when there is none.
    static KivSymbol FromId(uint32_t id);

    uint32_t Id() const { return m_id; }
    bool IsNull() const { return m_id == 0; }
    // The symbol's text; empty for the null symbol.
    const std::string& Name() const;

    friend bool operator==(KivSymbol a, KivSymbol b) { return a.m_id == b.m_id; }

private:
    uint32_t m_id = 0;
};
