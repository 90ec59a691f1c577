#include "explorer/dialogs/SearchProgress.h"

SearchProgress::SearchProgress(QWidget* owner) : KivProgressDlg(owner) {
    setObjectName(QStringLiteral("SearchProgress"));
    setWindowTitle(QStringLiteral("Searching"));
    Register(0, AddBar("oDCSearchProgress", "oDCSearchLabel", "oDCSearchText", "Entity :"));
    Finish();
}
