#include "explorer/dialogs/ImportProgress.h"

ImportProgress::ImportProgress(QWidget* owner) : KivProgressDlg(owner) {
    setObjectName(QStringLiteral("ImportProgress"));
    setWindowTitle(QStringLiteral("Importing"));
    Register(0, AddBar("oDCModuleProgress", "oDCModLabel", "oDCModuleText", "Module :"));
    Finish();
}
