#pragma once

#include "explorer/transfer/KivRegExport.h"

#include <QDialog>

class QCheckBox;

// "Choose the Registry Keys to export": nine groups of the IDE settings, all unchecked at first.
// Export ends with 1 only when a box is checked (else with 0, as Cancel does).
class ExportRegistry final : public QDialog {
    Q_OBJECT
public:
    explicit ExportRegistry(QWidget* owner = nullptr);

    KivRegExport::Choice Choice() const;

    void ExportPB();
    void CheckAll();
    void UnCheckPB();

private:
    QCheckBox* m_boxes[KivRegExport::kGroups];
};
