#include "cli/KivCli.h"

#include "cli/KivCliCommands.h"
#include "cli/KivCliContext.h"

#include "platform/KivDosPath.h"
#include "platform/KivPlatformHome.h"

#include <CLI/CLI.hpp>

#include <ostream>

namespace {

int RunHome(KivCliContext& context) {
    kiv::cli::json doc;
    doc["home"] = kiv::platform::Home().string();
    doc["driveC"] = kiv::platform::DriveC().string();
    doc["driveCDos"] = "C:\\";
    return context.Print(doc);
}

int RunDosPath(const std::string& dos, KivCliContext& context) {
    auto host = kiv::dospath::Resolve(dos);
    if (!host)
        return context.Fail("The system cannot find the path specified.");
    kiv::cli::json doc;
    doc["dos"] = kiv::cli::Text(dos);
    doc["host"] = host->string();
    return context.Print(doc);
}

} // namespace

int KivRunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"kivrepo: the Kiv repository tools from the command line"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "kivrepo " KIV_VERSION);
    KivCliContext context(out, err);

    context.Add(app, "home", "Show where the repository, the registry store and WIN.INI are kept", RunHome);
    std::string dosPathArg;
    auto* dosPath =
        context.Add(app, "dospath", "Show how a path is seen by the program (DOS form) and on this host",
                    [&](KivCliContext& c) { return RunDosPath(dosPathArg, c); });
    KivCliContext::Path(
        dosPath->add_option("PATH", dosPathArg, "a DOS path (C:\\x) or a host path (/home/x)")->required());
    for (auto add :
         {KivAddRepoCommands, KivAddInspectCommand, KivAddProjectCommands, KivAddAppTransferCommands,
          KivAddPrgCommands, KivAddDemoCommand, KivAddSearchCommand, KivAddMefCommands, KivAddDiffCommand})
        add(app, context);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << '\n';
        return 0;
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) {
            out << app.help();
            return 0;
        }
        err << e.what() << '\n';
        return 2;
    }
    return context.Run();
}
