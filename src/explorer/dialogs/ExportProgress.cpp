#include "explorer/dialogs/ExportProgress.h"

ExportProgress::ExportProgress(QWidget* owner) : KivProgressDlg(owner) {
    setObjectName(QStringLiteral("ExportProgress"));
    setWindowTitle(QStringLiteral("Exporting"));
    Register(1, AddBar("oDCEntityProgress", "oDCEntLabel", "oDCEntityText", "Entity :"));
    Register(0, AddBar("oDCModuleProgress", "oDCModLabel", "oDCModuleText", "Module :"));
    Finish();
}
