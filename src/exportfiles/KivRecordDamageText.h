#pragma once

#include "support/KivRecordStream.h"

#include <cstddef>
#include <set>
#include <string>
#include <string_view>

// What a reader says about a damaged record stream: the kind of file ("AEF file", "module"), what
// was wrong and the offset in the file where the walk had to stop.
std::string KivRecordDamageText(std::string_view what, KivRecordDamage damage, size_t offset);

// What the repository asks of the modules of an export file, checked as a reader meets each
// module-name record: a module has a name, and a name (letter case aside) is one module's. The
// engine refuses to import a file that breaks it, so the readers call such a file damaged too.
class KivModuleNameRule {
public:
    // The module-name record at the offset; false once the rule is broken.
    bool Take(std::string_view name, size_t offset);
    // What was wrong first, for "Damaged ...: " + Fault(); empty while the rule holds.
    const std::string& Fault() const { return m_fault; }

private:
    std::set<std::string> m_names;
    std::string m_fault;
};
