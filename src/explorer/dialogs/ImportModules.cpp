#include "explorer/dialogs/ImportModules.h"

#include "explorer/KivAnsi.h"
#include "explorer/dialogs/KivNamed.h"
#include "explorer/transfer/KivMefTransfer.h"
#include "support/KivIDESettings.h"
#include "support/KivPathUtil.h"
#include "support/KivPrompt.h"
#include "support/KivRegistry.h"
#include "support/KivStringUtil.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QPushButton* Button(const char* text, const char* name, QWidget* owner) {
    auto* button = KivNamed(new QPushButton(QLatin1String(text), owner), name);
    button->setAutoDefault(false);
    return button;
}

std::string StartFolder() {
    return KivIDESettings().GetString("Directories", "AEFPath", "C:\\");
}

} // namespace

ImportModules::ImportModules(const std::string& applicationName, QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("ImportModules"));
    setWindowTitle(QStringLiteral("Import Modules"));

    auto* nameLabel = new QLabel(QStringLiteral("Application :"), this);
    m_appName = KivNamed(new QLineEdit(KivFromAnsi(applicationName), this), "oDCAppName");
    nameLabel->setBuddy(m_appName);
    auto* listLabel = new QLabel(QStringLiteral("MEF files :"), this);
    m_list = KivNamed(new QListWidget(this), "oDCFileList");
    m_list->setMinimumSize(420, 160);
    listLabel->setBuddy(m_list);
    m_addFiles = Button("&Files...", "oCCAddFiles", this);
    m_addFolder = Button("F&older...", "oCCAddFolder", this);
    m_importPB = Button("&Import", "oCCImportPB", this);
    m_importPB->setDefault(true);
    m_cancelPB = Button("&Cancel", "oCCCancelPB", this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(m_appName, 0, 1);
    grid->addWidget(listLabel, 1, 0, Qt::AlignTop);
    grid->addWidget(m_list, 1, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(m_addFiles);
    side->addWidget(m_addFolder);
    side->addStretch();
    grid->addLayout(side, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_importPB);
    buttons->addWidget(m_cancelPB);
    grid->addLayout(buttons, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    connect(m_addFiles, &QPushButton::clicked, this, [this] {
        AddPaths(KivPrompt().OpenFiles("Import Modules", "Module Export Files (*.MEF)", StartFolder()));
    });
    connect(m_addFolder, &QPushButton::clicked, this, [this] {
        if (auto folder = KivPrompt().BrowseFolder("Select the modules' folder", StartFolder()))
            AddPaths({*folder});
    });
    connect(m_importPB, &QPushButton::clicked, this, [this] { done(1); });
    connect(m_cancelPB, &QPushButton::clicked, this, [this] { done(0); });
    connect(m_appName, &QLineEdit::textChanged, this, &ImportModules::Update);
    Update();
}

std::string ImportModules::ApplicationName() const {
    return KivAllTrim(KivToAnsi(m_appName->text()));
}

void ImportModules::AddPaths(const std::vector<std::string>& paths) {
    std::string missing;
    for (const std::string& file : KivMefImport::FilesOf(paths, missing)) {
        if (std::find(m_files.begin(), m_files.end(), file) != m_files.end())
            continue;
        m_files.push_back(file);
        m_list->addItem(KivFromAnsi(file));
    }
    Update();
}

void ImportModules::Update() {
    m_importPB->setEnabled(!m_files.empty() && !ApplicationName().empty());
}
