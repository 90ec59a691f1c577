#include "explorer/transfer/KivImplicants.h"

#include "repository/KivVOApplication.h"

#include <algorithm>

namespace {

bool OnChain(const KivApplicationChain& chain, uint16_t id) {
    return std::any_of(chain.begin(), chain.end(), [id](const auto& app) { return app->ID() == id; });
}

void Visit(const KivVOApplication& node, KivApplicationChain& chain,
           std::vector<KivApplicationChain>& result) {
    // The list is read whole before going down: the engine's library walk is shared by all
    // applications, so a walk below would end this one.
    for (const auto& library : node.LibraryList()) {
        if (!library || library->IsSystemLibrary() || OnChain(chain, library->ID()))
            continue;
        chain.push_back(library);
        Visit(*library, chain, result);
        result.push_back(chain);
        chain.pop_back();
    }
}

} // namespace

std::vector<KivApplicationChain> KivBuildImplicantsArray(KivVOApplication& application) {
    std::vector<KivApplicationChain> result;
    auto self = application.weak_from_this().lock();
    if (!self)
        self = std::make_shared<KivVOApplication>(application);
    KivApplicationChain chain{self};
    Visit(application, chain, result);
    return result;
}

std::vector<std::shared_ptr<KivVOApplication>>
KivBuildImplicantsList(KivVOApplication& application, std::vector<std::shared_ptr<KivVOApplication>> list) {
    std::vector<KivApplicationChain> chains = KivBuildImplicantsArray(application);
    std::stable_sort(chains.begin(), chains.end(),
                     [](const auto& a, const auto& b) { return a.size() > b.size(); });
    const size_t maxDepth = chains.empty() ? 0 : chains.front().size();
    for (size_t level = maxDepth; level >= 1; --level) {
        for (const KivApplicationChain& chain : chains) {
            if (chain.size() != level)
                continue;
            const auto& library = chain.back();
            if (!OnChain(list, library->ID()))
                list.push_back(library);
        }
    }
    return list;
}
