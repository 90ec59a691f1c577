#include "explorer/transfer/KivModuleCompare.h"

#include "exportfiles/KivAEFFile.h"
#include "exportfiles/KivEntityAbstract.h"
#include "exportfiles/KivExportFileKind.h"
#include "exportfiles/KivMEFEntity.h"
#include "exportfiles/KivMEFFile.h"
#include "exportfiles/KivPRGEntity.h"
#include "exportfiles/KivPRGFile.h"
#include "platform/KivDosPath.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOModule.h"
#include "support/KivPathUtil.h"
#include "support/KivProgress.h"
#include "support/KivStringUtil.h"

#include <algorithm>
#include <filesystem>
#include <unordered_map>

namespace {

std::string_view TrimEnd(std::string_view text) {
    const size_t end = text.find_last_not_of(std::string_view("\r\n\0", 3));
    return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
}

// A PRG file names its module after the file.
std::string ModuleName(const KivModuleAbstract& module) {
    if (const auto* prg = dynamic_cast<const KivPRGFile*>(&module))
        return prg->FileName();
    return module.Name();
}

std::string EntityKey(const KivEntityAbstract& entity) {
    std::string key = KivUpper(entity.Name());
    if (dynamic_cast<const KivPRGEntity*>(&entity)) {
        const std::string& type = entity.Type().Name();
        if ((type == "ACCESS" || type == "ASSIGN") && !key.ends_with(":" + type))
            key += ":" + type;
    }
    return key;
}

// The words of a prototype, one blank apart, parentheses standing alone: the readers space a
// prototype differently from the repository.
std::string PrototypeWords(const std::string& prototype) {
    std::string words;
    bool blank = false;
    for (char c : prototype) {
        const bool paren = c == '(' || c == ')';
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || paren) {
            blank = true;
            if (!paren)
                continue;
        }
        if (blank && !words.empty())
            words += ' ';
        blank = paren;
        words += c;
    }
    return words;
}

bool SamePrototype(const KivEntityAbstract& a, const KivEntityAbstract& b) {
    return a.VOPrototype() == b.VOPrototype() || PrototypeWords(a.Prototype()) == PrototypeWords(b.Prototype());
}

bool SameSource(const KivEntityAbstract& a, const KivEntityAbstract& b) {
    // Sources of export files are compared where they lie in the mapped files: a large file's
    // sources are not copied for the comparison.
    const auto* mefA = dynamic_cast<const KivMEFEntity*>(&a);
    const auto* mefB = dynamic_cast<const KivMEFEntity*>(&b);
    if (mefA && mefB)
        return TrimEnd(mefA->SourceText()) == TrimEnd(mefB->SourceText());
    return KivComparedSource(a) == KivComparedSource(b);
}

struct Keyed {
    std::string key;
    std::shared_ptr<KivEntityAbstract> entity;
};

std::vector<Keyed> Comparable(const KivModuleAbstract& module) {
    std::vector<Keyed> list;
    for (auto& entity : module.EntityList())
        if (!entity->VOPrototype().empty())
            list.push_back({EntityKey(*entity), std::move(entity)});
    return list;
}

bool ByKey(const KivEntityChange& a, const KivEntityChange& b) {
    return KivUpper(a.name) < KivUpper(b.name);
}

// The changed entities of two modules; entities of one name are paired in their order.
std::vector<KivEntityChange> CompareEntities(const KivModuleAbstract& before, const KivModuleAbstract& after) {
    std::vector<Keyed> old = Comparable(before);
    std::vector<Keyed> now = Comparable(after);
    std::unordered_map<std::string, std::vector<size_t>> byKey;
    byKey.reserve(old.size());
    for (size_t i = old.size(); i-- > 0;)
        byKey[old[i].key].push_back(i);
    std::vector<bool> matched(old.size(), false);
    std::vector<KivEntityChange> changes;
    for (Keyed& entry : now) {
        auto found = byKey.find(entry.key);
        if (found == byKey.end() || found->second.empty()) {
            changes.push_back({KivChange::Added, entry.entity->Name(), false, false, nullptr, entry.entity});
            continue;
        }
        const size_t index = found->second.back();
        found->second.pop_back();
        matched[index] = true;
        const KivEntityAbstract& a = *old[index].entity;
        const KivEntityAbstract& b = *entry.entity;
        const bool prototype = !SamePrototype(a, b);
        const bool source = !SameSource(a, b);
        if (prototype || source)
            changes.push_back({KivChange::Changed, b.Name(), prototype, source, old[index].entity, entry.entity});
    }
    for (size_t i = 0; i < old.size(); ++i)
        if (!matched[i])
            changes.push_back({KivChange::Removed, old[i].entity->Name(), false, false, old[i].entity, nullptr});
    std::stable_sort(changes.begin(), changes.end(), ByKey);
    return changes;
}

size_t ComparableCount(const KivModuleAbstract& module) {
    size_t count = 0;
    for (const auto& entity : module.EntityList())
        count += !entity->VOPrototype().empty();
    return count;
}

} // namespace

const char* KivChangeName(KivChange change) {
    switch (change) {
    case KivChange::Added:
        return "added";
    case KivChange::Removed:
        return "removed";
    case KivChange::Changed:
        break;
    }
    return "changed";
}

std::string KivComparedSource(const KivEntityAbstract& entity) {
    return std::string(TrimEnd(entity.Source()));
}

KivCompareSide KivCompareSide::Of(std::shared_ptr<KivApplicationAbstract> application, std::string label) {
    KivCompareSide side;
    side.label = std::move(label);
    side.modules = application->ModuleList();
    side.application = std::move(application);
    return side;
}

KivCompareSide KivCompareSide::Of(std::shared_ptr<KivModuleAbstract> module, std::string label) {
    KivCompareSide side;
    side.label = std::move(label);
    side.modules.push_back(std::move(module));
    side.single = true;
    return side;
}

KivCompareSide KivCompareSide::OfFile(const std::string& dosPath, std::string& error) {
    error.clear();
    KivExportKind kind = KivExportKind::Prg;
    const auto host = kiv::dospath::Resolve(dosPath);
    std::error_code ec;
    if (!host || !std::filesystem::is_regular_file(*host, ec)) {
        error = "Cannot open " + dosPath;
        return {};
    }
    // An empty file is a PRG source without entities; it has nothing to map.
    if (std::filesystem::file_size(*host, ec) > 0) {
        const auto found = KivExportFileKind(dosPath);
        if (!found) {
            error = "Cannot open " + dosPath;
            return {};
        }
        kind = *found;
    }
    if (kind == KivExportKind::Aef) {
        auto aef = std::make_shared<KivAEFFile>(dosPath);
        if (!aef->IsValid() || !aef->ErrorString().empty()) {
            error = dosPath + ": " + (aef->ErrorString().empty() ? "Invalid AEF File" : aef->ErrorString());
            return {};
        }
        return Of(std::move(aef), dosPath);
    }
    if (kind == KivExportKind::Mef) {
        auto mef = std::make_shared<KivMEFFile>(dosPath);
        if (!mef->IsValid() || !mef->ErrorString().empty()) {
            error = dosPath + ": " + (mef->ErrorString().empty() ? "Invalid MEF File version" : mef->ErrorString());
            return {};
        }
        return Of(std::shared_ptr<KivModuleAbstract>(std::move(mef)), dosPath);
    }
    return Of(std::shared_ptr<KivModuleAbstract>(std::make_shared<KivPRGFile>(dosPath)), dosPath);
}

namespace {

// Exports through `write` into a temporary file and reads it back; the file is gone afterwards,
// the reader keeps its mapping.
template <typename Write>
KivCompareSide ThroughTemporaryFile(Write write, const KivIDEBaseObject& object, std::string label,
                                    std::string& error) {
    const std::string temp = KivGetTempFile("kiv");
    if (temp.empty()) {
        error = "Cannot create a temporary file";
        return {};
    }
    KivCompareSide side;
    if (write(temp)) {
        side = KivCompareSide::OfFile(temp, error);
        side.label = std::move(label);
    } else {
        error = object.ErrorString().empty() ? "Cannot export " + object.Name() : object.ErrorString();
    }
    if (const auto host = kiv::dospath::Resolve(temp)) {
        std::error_code ec;
        std::filesystem::remove(*host, ec);
    }
    return side;
}

} // namespace

KivCompareSide KivCompareSide::OfRepository(KivVOApplication& application, std::string label, std::string& error) {
    return ThroughTemporaryFile([&](const std::string& file) { return application.ExportToAEF(file); },
                                application, std::move(label), error);
}

KivCompareSide KivCompareSide::OfRepository(KivVOModule& module, std::string label, std::string& error) {
    return ThroughTemporaryFile([&](const std::string& file) { return module.ExportModule(file); }, module,
                                std::move(label), error);
}

KivTransferResult KivModuleCompare::Run(const KivCompareSide& before, const KivCompareSide& after,
                                        KivProgress& progress) {
    KivTransferResult result;
    m_modules.clear();
    // Pairs of (old, new) modules; null on the side that lacks it.
    std::vector<std::pair<std::shared_ptr<KivModuleAbstract>, std::shared_ptr<KivModuleAbstract>>> pairs;
    if (before.single && after.single) {
        pairs.emplace_back(before.modules.front(), after.modules.front());
    } else if (before.single || after.single) {
        // A single module stands for itself only: the application's other modules are no change.
        const auto& one = before.single ? before.modules.front() : after.modules.front();
        const auto& many = before.single ? after.modules : before.modules;
        std::shared_ptr<KivModuleAbstract> other;
        for (const auto& module : many)
            if (!other && KivEqualsIgnoringCase(ModuleName(*module), ModuleName(*one)))
                other = module;
        if (before.single)
            pairs.emplace_back(one, other);
        else
            pairs.emplace_back(other, one);
    } else {
        std::unordered_map<std::string, size_t> oldIndex;
        for (size_t i = 0; i < before.modules.size(); ++i)
            oldIndex.emplace(KivUpper(ModuleName(*before.modules[i])), i);
        std::vector<bool> matched(before.modules.size(), false);
        for (const auto& module : after.modules) {
            auto found = oldIndex.find(KivUpper(ModuleName(*module)));
            if (found == oldIndex.end() || matched[found->second]) {
                pairs.emplace_back(nullptr, module);
                continue;
            }
            matched[found->second] = true;
            pairs.emplace_back(before.modules[found->second], module);
        }
        for (size_t i = 0; i < before.modules.size(); ++i)
            if (!matched[i])
                pairs.emplace_back(before.modules[i], nullptr);
    }

    progress.SetRange(0, 1, static_cast<uint32_t>(pairs.size()));
    for (size_t i = 0; i < pairs.size(); ++i) {
        const auto& [a, b] = pairs[i];
        KivModuleChange change;
        change.name = ModuleName(b ? *b : *a);
        progress.SetPosition(0, static_cast<uint32_t>(i + 1));
        progress.SetText(0, change.name);
        if (progress.CancelRequested()) {
            result.outcome = KivTransferOutcome::Cancelled;
            break;
        }
        if (!a || !b) {
            change.change = a ? KivChange::Removed : KivChange::Added;
            change.entityCount = ComparableCount(a ? *a : *b);
            m_modules.push_back(std::move(change));
            continue;
        }
        change.oldName = ModuleName(*a);
        change.entities = CompareEntities(*a, *b);
        change.entityCount = change.entities.size();
        if (!change.entities.empty() || !KivEqualsIgnoringCase(change.oldName, change.name))
            m_modules.push_back(std::move(change));
    }
    std::stable_sort(m_modules.begin(), m_modules.end(), [](const KivModuleChange& x, const KivModuleChange& y) {
        return KivUpper(x.name) < KivUpper(y.name);
    });
    return result;
}
