#pragma once

#include <memory>

class KivEngine;
class KivVORepository;

// The program's start and end around the repository, for kivexplorer and kivrepo alike. Start:
// the entity-type table and the entity keywords are built, the engine is installed and the
// engine-owning repository object is created (registered process-wide when its start
// succeeds). End, when the session ends or, failing that, when the process exits: the project
// that was current at the start is made current again and the engine is closed, once.
class KivRepositorySession {
public:
    // On the SQLite engine in the platform home.
    KivRepositorySession();
    // On the given engine (a test's stand-in).
    explicit KivRepositorySession(std::shared_ptr<KivEngine> engine);
    ~KivRepositorySession();
    KivRepositorySession(const KivRepositorySession&) = delete;
    KivRepositorySession& operator=(const KivRepositorySession&) = delete;

    // False when the repository could not be opened (another process holds it, ...).
    bool Success() const;
    const std::shared_ptr<KivVORepository>& Repository() const { return m_repository; }

    // What the program tells a person when the start fails.
    static constexpr const char* kStartFailure = "Failed to Initialize Repository !!\r\nAlready Open ?";

private:
    std::shared_ptr<KivEngine> m_previousEngine;
    std::shared_ptr<KivVORepository> m_repository;
};
