#include "engine/KivCurrentEngine.h"

#include "engine/KivNoEngine.h"

namespace {

std::shared_ptr<KivEngine>& Installed() {
    static std::shared_ptr<KivEngine> engine;
    return engine;
}

} // namespace

KivEngine& KivGetEngine() {
    static KivNoEngine none;
    std::shared_ptr<KivEngine>& engine = Installed();
    return engine ? *engine : none;
}

std::shared_ptr<KivEngine> KivSetEngine(std::shared_ptr<KivEngine> engine) {
    std::shared_ptr<KivEngine> previous = std::move(Installed());
    Installed() = std::move(engine);
    return previous;
}
