#pragma once

#include <memory>

class KivEngine;

// The engine the whole process works with. Start-up installs the SQLite engine; a test installs
// its own (a KivFaultEngine around a real one) and puts the previous one back when it ends.
// Until an engine is installed, KivGetEngine gives a KivNoEngine, which refuses every call.
KivEngine& KivGetEngine();

// Installs the engine (null: none) and returns the one installed before.
std::shared_ptr<KivEngine> KivSetEngine(std::shared_ptr<KivEngine> engine);

// Installs an engine for the life of the object, then puts the previous one back.
class KivScopedEngine {
public:
    explicit KivScopedEngine(std::shared_ptr<KivEngine> engine)
        : m_previous(KivSetEngine(std::move(engine))) {}
    KivScopedEngine(const KivScopedEngine&) = delete;
    KivScopedEngine& operator=(const KivScopedEngine&) = delete;
    ~KivScopedEngine() { KivSetEngine(std::move(m_previous)); }

private:
    std::shared_ptr<KivEngine> m_previous;
};
