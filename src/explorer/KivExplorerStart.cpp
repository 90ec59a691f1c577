#include "explorer/KivExplorerStart.h"

#include "engine/KivCurrentEngine.h"
#include "engine/KivSqliteEngine.h"
#include "explorer/RepoExplorer.h"
#include "exportfiles/KivEntityText.h"
#include "repository/KivEntSymTypes.h"
#include "repository/KivRepositorySession.h"
#include "repository/KivVORepository.h"
#include "support/KivIDESettings.h"
#include "support/KivPrompt.h"

KivExplorerStart::KivExplorerStart() : KivExplorerStart(std::make_shared<KivSqliteEngine>()) {}

KivExplorerStart::KivExplorerStart(std::shared_ptr<KivEngine> engine) {
    KivInitEntSymTypes();
    KivInitEntityMarkers();
    m_previousEngine = KivSetEngine(std::move(engine));
    const bool registeredBefore = KivGetRepoObject() != nullptr;
    m_window = std::make_unique<RepoExplorer>();
    if (!m_window->IsValid()) {
        m_window.reset();
        KivPrompt().MessageBox(KivRepositorySession::kStartFailure, "Error", KivBox::Ok | KivBox::IconStop);
        return;
    }
    m_ownsRepository = !registeredBefore && KivGetRepoObject() != nullptr;
    KivOpenIDESettings();
    m_window->showMaximized();
}

KivExplorerStart::~KivExplorerStart() {
    m_window.reset();
    if (m_ownsRepository)
        KivFreeRepoObject();
    KivCloseIDESettings();
    KivSetEngine(std::move(m_previousEngine));
}
