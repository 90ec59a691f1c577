#include "explorer/dialogs/ExportModules.h"

#include "explorer/dialogs/ExportAsPrg.h"
#include "explorer/dialogs/KivNamed.h"

#include <QCheckBox>
#include <QHBoxLayout>

QCheckBox* KivMakeExportModules(ExportAsPrg& dialog) {
    dialog.setWindowTitle(QStringLiteral("Export Modules"));
    dialog.oDCAbortChk()->hide();
    auto* prg =
        KivNamed(new QCheckBox(QStringLiteral("Also the PRG source of each module"), &dialog), "oDCPrgChk");
    for (auto* row : dialog.findChildren<QHBoxLayout*>())
        if (row->indexOf(dialog.oDCAbortChk()) >= 0)
            row->insertWidget(0, prg);
    return prg;
}
