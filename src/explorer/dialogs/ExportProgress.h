#pragma once

#include "explorer/dialogs/KivProgressDlg.h"

// The two-bar progress dialog of the PRG export: bar 0 is the module bar, bar 1 the entity bar.
class ExportProgress final : public KivProgressDlg {
    Q_OBJECT
public:
    explicit ExportProgress(QWidget* owner = nullptr);
};
