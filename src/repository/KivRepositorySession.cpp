#include "repository/KivRepositorySession.h"

#include "engine/KivCurrentEngine.h"
#include "engine/KivSqliteEngine.h"
#include "exportfiles/KivEntityText.h"
#include "repository/KivEntSymTypes.h"
#include "repository/KivVORepository.h"

KivRepositorySession::KivRepositorySession() : KivRepositorySession(std::make_shared<KivSqliteEngine>()) {}

KivRepositorySession::KivRepositorySession(std::shared_ptr<KivEngine> engine) {
    KivInitEntSymTypes();
    KivInitEntityMarkers();
    m_previousEngine = KivSetEngine(std::move(engine));
    m_repository = KivVORepository::Create(true);
}

KivRepositorySession::~KivRepositorySession() {
    if (m_repository && KivGetRepoObject() == m_repository)
        KivFreeRepoObject();
    // An instance that was never registered (its start failed) ends here.
    m_repository.reset();
    KivSetEngine(std::move(m_previousEngine));
}

bool KivRepositorySession::Success() const {
    return m_repository && m_repository->Success();
}
