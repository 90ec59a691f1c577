#pragma once

#include "explorer/dialogs/KivProgressDlg.h"

// The one-bar progress dialog of the imports and the AEF exports: bar 0 is the module bar.
class ImportProgress final : public KivProgressDlg {
    Q_OBJECT
public:
    explicit ImportProgress(QWidget* owner = nullptr);
};
