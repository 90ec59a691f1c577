#include "explorer/transfer/KivDeleteProject.h"

#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivStringUtil.h"

KivTransferResult KivDeleteProject::Run(KivVORepository& repository, KivQuestion& question) {
    KivTransferResult result;
    m_neighbour.clear();
    auto project = repository.CurrentProject();
    if (!project) {
        result.outcome = KivTransferOutcome::Failed;
        result.message = repository.ErrorString();
        return result;
    }
    const std::string name = project->Name();
    if (!question.YesNo("Project to delete:\r\n" + name + "\r\nAre you sure ?", "Delete Project")) {
        result.outcome = KivTransferOutcome::Cancelled;
        return result;
    }
    const auto projects = repository.ProjectList();
    size_t position = projects.size();
    for (size_t i = 0; i < projects.size(); ++i)
        if (KivEqualsIgnoringCase(projects[i]->Name(), name)) {
            position = i;
            break;
        }
    const size_t neighbour = position == 0 ? 1 : position - 1;
    if (position == projects.size() || neighbour >= projects.size()) {
        result.message = "You can delete the last project.";
        result.notices.push_back(KivNotice::Stop(result.message, "Error"));
        result.outcome = KivTransferOutcome::Failed;
        return result;
    }
    projects[neighbour]->Selected(true);
    m_neighbour = projects[neighbour]->Name();
    if (!repository.ProjectDelete(project)) {
        result.outcome = KivTransferOutcome::Failed;
        result.message = repository.ErrorString();
    }
    return result;
}
