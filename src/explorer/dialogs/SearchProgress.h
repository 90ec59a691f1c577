#pragma once

#include "explorer/dialogs/KivProgressDlg.h"

// The progress of a search through the sources: bar 0 counts the entities read.
class SearchProgress final : public KivProgressDlg {
    Q_OBJECT
public:
    explicit SearchProgress(QWidget* owner = nullptr);
};
