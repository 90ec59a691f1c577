#include "cli/KivCliCommands.h"
#include "cli/KivCliContext.h"
#include "cli/KivJsonText.h"
#include "cli/KivJsonWriter.h"
#include "exportfiles/KivAEFFile.h"
#include "exportfiles/KivEntityAbstract.h"
#include "exportfiles/KivExportFileKind.h"
#include "exportfiles/KivMEFFile.h"
#include "exportfiles/KivPRGEntity.h"
#include "exportfiles/KivPRGFile.h"

#include <CLI/CLI.hpp>

#include <ostream>

namespace {

using kiv::cli::Moment;
using kiv::cli::Text;

void Strings(KivJsonWriter& out, std::string_view key, const std::vector<std::string>& items) {
    out.Key(key).BeginArray();
    for (const std::string& item : items)
        out.String(Text(item));
    out.EndArray();
}

void Entity(KivJsonWriter& out, const KivEntityAbstract& entity) {
    out.BeginObject();
    out.String("name", Text(entity.Name()));
    out.String("type", Text(entity.Type().Name()));
    out.String("visibility", Text(entity.Visibility().Name()));
    out.String("info", Text(entity.Info()));
    out.String("prototype", Text(entity.Prototype()));
    out.String("voPrototype", Text(entity.VOPrototype()));
    out.Number("sourceLength", entity.Source().size());
    if (const auto* prg = dynamic_cast<const KivPRGEntity*>(&entity)) {
        out.Number("firstLine", prg->FirstLine());
        out.Number("lastLine", prg->LastLine());
    }
    out.EndObject();
}

void Entities(KivJsonWriter& out, const KivModuleAbstract& module) {
    out.Key("entities").BeginArray();
    for (const auto& entity : module.EntityList())
        Entity(out, *entity);
    out.EndArray();
}

// A damaged file still gives its document; the exit status and stderr say it is damaged.
// A file another program cut while it was read fails whatever the readers said of it.
int Finish(KivJsonWriter& out, const KivIDEBaseObject& object, std::ostream& err, bool cut = false) {
    out.EndObject();
    out.Finish();
    if (cut) {
        err << "The file was cut short while it was read\n";
        return 1;
    }
    if (object.ErrorString().empty())
        return 0;
    err << object.ErrorString() << '\n';
    return 1;
}

// kivrepo inspect FILE: one JSON document about an AEF, MEF or PRG file, read with the export
// file readers and without the repository. The header tells an AEF or MEF; anything else is read
// as PRG source.
class KivInspectCommand {
public:
    void Add(CLI::App& app, KivCliContext& context);

private:
    // The exit code: 1 for a file that cannot be read or is not valid (nothing on out) or is
    // damaged (the document of what was read).
    int Inspect(std::ostream& out, std::ostream& err) const;

    std::string m_file;
};

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
    KivJsonWriter doc(out);
    if (*kind == KivExportKind::Mef) {
        KivMEFFile mef(file);
        if (!mef.IsValid()) {
            err << (mef.ErrorString().empty() ? std::string("Invalid MEF File version") : mef.ErrorString())
                << '\n';
            return 1;
        }
        doc.BeginObject();
        doc.String("kind", "MEF");
        doc.String("name", Text(mef.Name()));
        doc.Bool("success", mef.Success());
        doc.Bool("valid", mef.IsValid());
        doc.String("external", Text(mef.ExternalFile()));
        Entities(doc, mef);
        return Finish(doc, mef, err, mef.Cut());
    }
    if (*kind == KivExportKind::Aef) {
        KivAEFFile aef(file);
        if (!aef.IsValid()) {
            err << (aef.ErrorString().empty() ? std::string("Invalid AEF File") : aef.ErrorString()) << '\n';
            return 1;
        }
        doc.BeginObject();
        doc.String("kind", "AEF");
        doc.String("name", Text(aef.Name()));
        doc.Bool("success", aef.Success());
        doc.String("version", aef.Version());
        doc.String("exeName", Text(aef.ExeName()));
        doc.String("description", Text(aef.Description()));
        doc.Bool("isLibrary", aef.IsLibrary());
        doc.Bool("isDLL", aef.IsDLL());
        Strings(doc, "libraries", aef.LibraryNameList());
        Strings(doc, "udc", aef.UDCNameList());
        doc.String("created", Moment(aef.CreateDate(), aef.CreateTime()));
        doc.String("lastBuild", Moment(aef.LastBuildDate(), aef.LastBuildTime()));
        doc.Key("modules").BeginArray();
        for (const auto& module : aef.ModuleList()) {
            doc.BeginObject();
            doc.String("name", Text(module->Name()));
            doc.Bool("success", module->Success());
            doc.String("external", Text(module->ExternalFile()));
            Entities(doc, *module);
            doc.EndObject();
        }
        doc.EndArray();
        return Finish(doc, aef, err, aef.Cut());
    }
    KivPRGFile prg(file);
    doc.BeginObject();
    doc.String("kind", "PRG");
    doc.String("fileName", Text(prg.FileName()));
    doc.Bool("success", prg.Success());
    Entities(doc, prg);
    return Finish(doc, prg, err);
}

void KivAddInspectCommand(CLI::App& app, KivCliContext& context) {
    context.Keep<KivInspectCommand>().Add(app, context);
}
