#include "explorer/dialogs/ExportAsPrg.h"

#include "explorer/KivAnsi.h"
#include "explorer/dialogs/KivNamed.h"
#include "explorer/transfer/KivIdeFolders.h"
#include "platform/KivDosPath.h"
#include "support/KivPrompt.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

ExportAsPrg::ExportAsPrg(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("ExportAsPrg"));
    setWindowTitle(QStringLiteral("Export base Folder"));

    m_folderLabel = KivNamed(new QLabel(QStringLiteral("Folder :"), this), "oDCFolderLabel");
    m_folderPath = KivNamed(new QLineEdit(this), "oDCFolderPath");
    m_folderPath->setMinimumWidth(300);
    m_folderLabel->setBuddy(m_folderPath);
    m_changeFolder = KivNamed(new QPushButton(QStringLiteral("..."), this), "oCCChangeFolder");
    m_changeFolder->setAutoDefault(false);
    m_changeFolder->setFixedWidth(m_changeFolder->fontMetrics().horizontalAdvance(QStringLiteral("....")) +
                                  16);
    m_exportPB = KivNamed(new QPushButton(QStringLiteral("&Export"), this), "oCCExportPB");
    m_exportPB->setDefault(true);
    m_cancelPB = KivNamed(new QPushButton(QStringLiteral("&Cancel"), this), "oCCCancelPB");
    m_cancelPB->setAutoDefault(false);
    m_dllChk = KivNamed(new QCheckBox(QStringLiteral("Include DLLs"), this), "oDCDLLChk");
    m_dllChk->hide();
    m_abortChk = KivNamed(new QCheckBox(QStringLiteral("Abort On Error"), this), "oDCAbortChk");

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_folderLabel, 0, 0);
    grid->addWidget(m_folderPath, 0, 1);
    grid->addWidget(m_changeFolder, 0, 2);
    auto* checks = new QHBoxLayout;
    checks->addWidget(m_dllChk);
    checks->addWidget(m_abortChk);
    checks->addStretch();
    grid->addLayout(checks, 1, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_exportPB);
    buttons->addWidget(m_cancelPB);
    grid->addLayout(buttons, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    connect(m_changeFolder, &QPushButton::clicked, this, &ExportAsPrg::ChangeFolder);
    connect(m_exportPB, &QPushButton::clicked, this, &ExportAsPrg::ExportPB);
    connect(m_cancelPB, &QPushButton::clicked, this, &ExportAsPrg::CancelPB);
    PostInit();
}

void ExportAsPrg::PostInit() {
    FolderPath(KivAefPathSetting());
}

std::string ExportAsPrg::FolderPath() const {
    return kiv::dospath::FromTyped(KivToAnsi(m_folderPath->text()));
}

void ExportAsPrg::FolderPath(const std::string& folder) {
    m_folderPath->setText(KivFromAnsi(folder));
}

void ExportAsPrg::ChangeFolder() {
    if (auto chosen = KivPrompt().BrowseFolder("Select base Folder", FolderPath()))
        FolderPath(*chosen);
}

void ExportAsPrg::ExportPB() {
    done(1);
}

void ExportAsPrg::CancelPB() {
    done(0);
}

void ExportAsPrg::reject() {
    // Escape and the close box answer as Cancel does.
    done(0);
}
