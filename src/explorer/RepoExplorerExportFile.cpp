// Export files opened read-only beside the repository: an AEF with its modules, a MEF or a PRG
// file as one module, listed and shown in the pane like the repository's modules.
#include "explorer/RepoExplorer.h"

#include "explorer/KivAnsi.h"
#include "explorer/search/KivEntityCatalogue.h"
#include "explorer/transfer/KivIdeFolders.h"
#include "exportfiles/KivAEFFile.h"
#include "exportfiles/KivEntityAbstract.h"
#include "exportfiles/KivExportFileKind.h"
#include "exportfiles/KivMEFFile.h"
#include "exportfiles/KivPRGFile.h"
#include "platform/KivDosPath.h"
#include "support/KivPathUtil.h"
#include "support/KivPrompt.h"

#include <QTreeWidget>

namespace {

KivSymbol KindExportFile() {
    static const KivSymbol symbol("ExportFile");
    return symbol;
}
KivSymbol KindFileEntity() {
    static const KivSymbol symbol("FileEntity");
    return symbol;
}

std::string FileKey(size_t file) {
    return "ExportFile:" + std::to_string(file);
}

// What went wrong in reading, as the readers word it; empty for a sound file.
std::string Damage(const KivIDEBaseObject& reader) {
    return reader.ErrorString();
}

void MarkDamage(QTreeWidgetItem* node, const std::string& damage) {
    if (damage.empty())
        return;
    node->setText(0, node->text(0) + QStringLiteral(" (damaged)"));
    node->setToolTip(0, QStringLiteral("Damaged: ") + KivFromAnsi(damage));
    node->setForeground(0, QBrush(Qt::darkRed));
}

} // namespace

KivSymbol RepoExplorer::FileModuleKind() {
    static const KivSymbol symbol("FileModule");
    return symbol;
}

bool RepoExplorer::OpenExportFile(const std::optional<std::string>& file) {
    std::string path;
    if (file) {
        path = kiv::dospath::ToDos(*file);
    } else {
        auto picked =
            KivPrompt().OpenFile("Open Export File", "Export Files (*.AEF *.MEF *.PRG)", KivAefPathSetting());
        if (!picked)
            return false;
        path = *picked;
    }
    const auto kind = KivExportFileKind(path);
    std::shared_ptr<KivIDEBaseObject> reader;
    std::string refused;
    if (!kind) {
        refused = "Cannot open " + path;
    } else if (*kind == KivExportKind::Aef) {
        auto aef = std::make_shared<KivAEFFile>(path);
        if (aef->IsValid())
            reader = aef;
        else
            refused = aef->ErrorString().empty() ? "Invalid AEF File" : aef->ErrorString();
    } else if (*kind == KivExportKind::Mef) {
        auto mef = std::make_shared<KivMEFFile>(path);
        if (mef->IsValid())
            reader = mef;
        else
            refused = mef->ErrorString().empty() ? "Invalid MEF File version" : mef->ErrorString();
    } else {
        auto prg = std::make_shared<KivPRGFile>(path);
        if (prg->Success() || prg->EntityCount() > 0)
            reader = prg;
        else
            refused = prg->ErrorString().empty() ? "Cannot read " + path : prg->ErrorString();
    }
    if (!reader) {
        KivPrompt().MessageBox(refused, "Open Export File", KivBox::Ok | KivBox::IconStop);
        return false;
    }
    m_files.emplace_back(path, reader);
    AddFileNode(m_files.size() - 1);
    QTreeWidgetItem* node = FindNode(FileKey(m_files.size() - 1));
    SelectNode(node);
    node->setExpanded(true);
    return true;
}

void RepoExplorer::AddFileNodes() {
    for (size_t i = 0; i < m_files.size(); ++i)
        AddFileNode(i);
}

void RepoExplorer::AddFileNode(size_t index) {
    const auto& [path, reader] = m_files[index];
    const std::string key = FileKey(index);
    const std::string name = KivExtractFileInfo(path);
    NodeRecord record;
    record.loaded = true;
    record.object = reader;
    record.project = path;
    if (auto aef = std::dynamic_pointer_cast<KivAEFFile>(reader)) {
        record.kind = KindExportFile();
        QTreeWidgetItem* node = AddNode(nullptr, name, key, kIconApp, std::move(record), false);
        aef->SortByName();
        size_t position = 0;
        for (const auto& module : aef->ModuleList()) {
            module->SortByName();
            NodeRecord child;
            child.loaded = true;
            child.kind = FileModuleKind();
            child.object = module;
            child.project = path;
            QTreeWidgetItem* item =
                AddNode(node, module->Name(), key + ":" + std::to_string(position++),
                        module->IsExternal() ? kIconExternal : kIconMEF, std::move(child), false);
            MarkDamage(item, Damage(*module));
        }
        MarkDamage(node, Damage(*aef));
        return;
    }
    auto module = std::static_pointer_cast<KivModuleAbstract>(reader);
    module->SortByName();
    record.kind = FileModuleKind();
    QTreeWidgetItem* node =
        AddNode(nullptr, name, key, module->IsPRG() ? kIconExternal : kIconMEF, std::move(record), false);
    MarkDamage(node, Damage(*module));
}

bool RepoExplorer::UpdateFileList(QTreeWidgetItem* node, const NodeRecord& record) {
    if (record.kind == KindExportFile()) {
        for (int i = 0; i < node->childCount(); ++i) {
            QTreeWidgetItem* child = node->child(i);
            const auto& module = static_cast<const KivModuleAbstract&>(*Record(child)->object);
            const bool external = module.IsExternal();
            AddRow(module.Name(), external ? "External Module" : "Module",
                   MomentText(module.CreateDate(), module.CreateTime()),
                   MomentText(module.LastBuildDate(), module.LastBuildTime()),
                   external ? kIconExternal : kIconMEF,
                   {FileModuleKind(), KivToAnsi(child->data(0, Qt::UserRole).toString()), 0, 0, 0, nullptr});
        }
        return true;
    }
    if (record.kind != FileModuleKind())
        return false;
    const auto& module = static_cast<const KivModuleAbstract&>(*record.object);
    for (const auto& entity : module.EntityList()) {
        KivEntityRowText row = KivEntityRowFor(entity->Type(), entity->Info());
        AddRow(row.name, row.type, MomentText(entity->CreateDate(), entity->CreateTime()),
               MomentText(entity->LastBuildDate(), entity->LastBuildTime()), kIconCode,
               {KindFileEntity(), {}, 0, 0, 0, entity});
    }
    return true;
}

std::optional<std::string> RepoExplorer::FileSource(const NodeRecord* node, const RowRecord* row) const {
    if (row && row->fileEntity)
        return row->fileEntity->Source();
    if (row || !node || node->kind != FileModuleKind())
        return std::nullopt;
    // The module whole, one entity after the other, as a module of the repository shows it.
    std::string source;
    for (const auto& entity : static_cast<const KivModuleAbstract&>(*node->object).EntityList())
        source += entity->Source() + "\r\n";
    return source;
}
