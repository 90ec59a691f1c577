#include "cli/KivInspectCommand.h"

#include "cli/KivCliContext.h"
#include "cli/KivJsonText.h"
#include "exportfiles/KivAEFFile.h"
#include "exportfiles/KivEntityAbstract.h"
#include "exportfiles/KivExportFileKind.h"
#include "exportfiles/KivMEFFile.h"
#include "exportfiles/KivPRGEntity.h"
#include "exportfiles/KivPRGFile.h"

#include <CLI/CLI.hpp>

#include <nlohmann/json.hpp>

#include <ostream>

namespace {

using kiv::cli::json;
using kiv::cli::Moment;
using kiv::cli::Text;
using kiv::cli::Texts;

json Entity(const KivEntityAbstract& entity) {
    json out;
    out["name"] = Text(entity.Name());
    out["type"] = Text(entity.Type().Name());
    out["visibility"] = Text(entity.Visibility().Name());
    out["info"] = Text(entity.Info());
    out["prototype"] = Text(entity.Prototype());
    out["voPrototype"] = Text(entity.VOPrototype());
    out["sourceLength"] = entity.Source().size();
    if (const auto* prg = dynamic_cast<const KivPRGEntity*>(&entity)) {
        out["firstLine"] = prg->FirstLine();
        out["lastLine"] = prg->LastLine();
    }
    return out;
}

json Entities(const KivModuleAbstract& module) {
    json list = json::array();
    for (const auto& entity : module.EntityList())
        list.push_back(Entity(*entity));
    return list;
}

// A damaged file still gives its document; the exit status and stderr say it is damaged.
int Finish(const json& doc, const KivIDEBaseObject& object, std::ostream& out, std::ostream& err) {
    out << doc.dump(2) << '\n';
    if (object.ErrorString().empty())
        return 0;
    err << object.ErrorString() << '\n';
    return 1;
}

} // namespace

void KivInspectCommand::Add(CLI::App& app, KivCliContext& context) {
    auto* inspect = context.Add(app, "inspect", "Show what an AEF, MEF or PRG file holds, as JSON",
                                [this](KivCliContext& c) { return Inspect(c.Out(), c.Err()); });
    KivCliContext::Path(inspect->add_option("FILE", m_file, "the export or source file")->required());
}

int KivInspectCommand::Inspect(std::ostream& out, std::ostream& err) const {
    const std::string& file = m_file;
    const std::optional<KivExportKind> kind = KivExportFileKind(file);
    if (!kind) {
        err << "Cannot open " << m_file << '\n';
        return 1;
    }
    json doc;
    if (*kind == KivExportKind::Mef) {
        KivMEFFile mef(file);
        if (!mef.IsValid()) {
            err << (mef.ErrorString().empty() ? std::string("Invalid MEF File version") : mef.ErrorString())
                << '\n';
            return 1;
        }
        doc["kind"] = "MEF";
        doc["name"] = Text(mef.Name());
        doc["success"] = mef.Success();
        doc["valid"] = mef.IsValid();
        doc["external"] = Text(mef.ExternalFile());
        doc["entities"] = Entities(mef);
        return Finish(doc, mef, out, err);
    }
    if (*kind == KivExportKind::Aef) {
        KivAEFFile aef(file);
        if (!aef.IsValid()) {
            err << (aef.ErrorString().empty() ? std::string("Invalid AEF File") : aef.ErrorString()) << '\n';
            return 1;
        }
        doc["kind"] = "AEF";
        doc["name"] = Text(aef.Name());
        doc["success"] = aef.Success();
        doc["version"] = aef.Version();
        doc["exeName"] = Text(aef.ExeName());
        doc["description"] = Text(aef.Description());
        doc["isLibrary"] = aef.IsLibrary();
        doc["isDLL"] = aef.IsDLL();
        doc["libraries"] = Texts(aef.LibraryNameList());
        doc["udc"] = Texts(aef.UDCNameList());
        doc["created"] = Moment(aef.CreateDate(), aef.CreateTime());
        doc["lastBuild"] = Moment(aef.LastBuildDate(), aef.LastBuildTime());
        json modules = json::array();
        for (const auto& module : aef.ModuleList()) {
            json entry;
            entry["name"] = Text(module->Name());
            entry["success"] = module->Success();
            entry["external"] = Text(module->ExternalFile());
            entry["entities"] = Entities(*module);
            modules.push_back(std::move(entry));
        }
        doc["modules"] = std::move(modules);
        return Finish(doc, aef, out, err);
    }
    KivPRGFile prg(file);
    doc["kind"] = "PRG";
    doc["fileName"] = Text(prg.FileName());
    doc["success"] = prg.Success();
    doc["entities"] = Entities(prg);
    return Finish(doc, prg, out, err);
}
