#include "explorer/dialogs/ExportRegistry.h"

#include "explorer/dialogs/KivNamed.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton* Button(QWidget* parent, const char* name, const char* text) {
    return KivNamed(new QPushButton(QString::fromLatin1(text), parent), name);
}

} // namespace

ExportRegistry::ExportRegistry(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("ExportRegistry"));
    setWindowTitle(QStringLiteral("Choose the Registry Keys to export"));

    auto* grid = new QGridLayout;
    for (size_t i = 0; i < KivRegExport::kGroups; ++i) {
        m_boxes[i] = new QCheckBox(QString::fromLatin1(KivRegExport::GroupText(i)), this);
        m_boxes[i]->setObjectName(QStringLiteral("oDCChk%1").arg(i + 1));
        grid->addWidget(m_boxes[i], static_cast<int>(i), 0);
    }
    auto* debug = KivNamed(new QLabel(QStringLiteral("( In Debug session )"), this), "oDCDebugText");
    grid->addWidget(debug, static_cast<int>(KivRegExport::kGroups) - 1, 1);

    QPushButton* cancel = Button(this, "oCCCancelPB", "&Cancel");
    QPushButton* exportButton = Button(this, "oCCExportPB", "&Export");
    QPushButton* checkAll = Button(this, "oCCCheckAll", "Check All");
    QPushButton* uncheck = Button(this, "oCCUnCheckPB", "UnCheck All");
    exportButton->setDefault(true);
    connect(cancel, &QPushButton::clicked, this, [this] { done(0); });
    connect(exportButton, &QPushButton::clicked, this, &ExportRegistry::ExportPB);
    connect(checkAll, &QPushButton::clicked, this, &ExportRegistry::CheckAll);
    connect(uncheck, &QPushButton::clicked, this, &ExportRegistry::UnCheckPB);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(checkAll);
    buttons->addWidget(uncheck);
    buttons->addStretch();
    buttons->addWidget(exportButton);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

KivRegExport::Choice ExportRegistry::Choice() const {
    KivRegExport::Choice choice{};
    for (size_t i = 0; i < KivRegExport::kGroups; ++i)
        choice[i] = m_boxes[i]->isChecked();
    return choice;
}

void ExportRegistry::ExportPB() {
    for (QCheckBox* box : m_boxes)
        if (box->isChecked()) {
            done(1);
            return;
        }
    done(0);
}

void ExportRegistry::CheckAll() {
    for (QCheckBox* box : m_boxes)
        box->setChecked(true);
}

void ExportRegistry::UnCheckPB() {
    for (QCheckBox* box : m_boxes)
        box->setChecked(false);
}
