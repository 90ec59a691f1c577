// kivexplorer: the explorer window over the repository in the platform home.
#include "explorer/KivExplorerApplication.h"
#include "explorer/KivExplorerStart.h"
#include "explorer/KivQtPrompt.h"
#include "support/KivErrorHandler.h"
#include "support/KivPrompt.h"

#include <memory>

int main(int argc, char** argv) {
    KivInstallErrorHandler();
    KivExplorerApplication app(argc, argv);
    KivPromptScope prompt(std::make_shared<KivQtPrompt>());
    KivExplorerStart start;
    if (!start.Success())
        return 1;
    return KivExplorerApplication::exec();
}
