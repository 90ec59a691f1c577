#pragma once

#include <memory>

class KivEngine;
class RepoExplorer;

// The program's start and end around the explorer window. Start: the entity-type table and the
// entity keywords are built, the engine is installed, the explorer is created (it opens the
// repository); when the repository opened, the IDE settings are opened and the window is shown
// maximised, otherwise the start failure is told in an error box and there is no window. End
// (destruction): the window goes, the project that was current at the start is made current
// again and the engine is closed, the settings are let go and the previous engine comes back.
class KivExplorerStart {
public:
    // On the SQLite engine in the platform home.
    KivExplorerStart();
    explicit KivExplorerStart(std::shared_ptr<KivEngine> engine);
    ~KivExplorerStart();
    KivExplorerStart(const KivExplorerStart&) = delete;
    KivExplorerStart& operator=(const KivExplorerStart&) = delete;

    bool Success() const { return m_window != nullptr; }
    // The explorer; null when the start failed.
    RepoExplorer* Window() const { return m_window.get(); }

private:
    std::shared_ptr<KivEngine> m_previousEngine;
    std::unique_ptr<RepoExplorer> m_window;
    bool m_ownsRepository = false;
};
