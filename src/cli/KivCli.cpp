#include "cli/KivCli.h"

#include "cli/KivInspectCommand.h"
#include "cli/KivProjectCommands.h"
#include "cli/KivAppTransferCommands.h"
#include "cli/KivPrgCommands.h"
#include "cli/KivDemoCommand.h"
#include "cli/KivRepoCommands.h"
#include "cli/KivSearchCommand.h"

#include "platform/KivDosPath.h"
#include "platform/KivPlatformHome.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <ostream>

namespace {

int RunHome(std::ostream& out) {
    nlohmann::json doc;
    doc["home"] = kiv::platform::Home().string();
    doc["driveC"] = kiv::platform::DriveC().string();
    doc["driveCDos"] = "C:\\";
    out << doc.dump(2) << '\n';
    return 0;
}

int RunDosPath(const std::string& path, std::ostream& out, std::ostream& err) {
    std::string dos = kiv::dospath::ToDos(path);
    auto host = kiv::dospath::Resolve(dos);
    if (!host) {
        err << "The system cannot find the path specified.\n";
        return 1;
    }
    nlohmann::json doc;
    doc["dos"] = dos;
    doc["host"] = host->string();
    out << doc.dump(2) << '\n';
    return 0;
}

} // namespace

int KivRunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"kivrepo: the Kiv repository tools from the command line"};
    app.require_subcommand(1);

    auto* home =
        app.add_subcommand("home", "Show where the repository, the registry store and WIN.INI are kept");
    std::string dosPathArg;
    auto* dosPath =
        app.add_subcommand("dospath", "Show how a path is seen by the program (DOS form) and on this host");
    dosPath->add_option("PATH", dosPathArg, "a DOS path (C:\\x) or a host path (/home/x)")->required();
    KivRepoCommands repoCommands;
    repoCommands.Add(app);
    KivInspectCommand inspectCommand;
    inspectCommand.Add(app);
    KivProjectCommands projectCommands;
    projectCommands.Add(app);
    KivAppTransferCommands appTransferCommands;
    appTransferCommands.Add(app);
    KivPrgCommands prgCommands;
    prgCommands.Add(app);
    KivDemoCommand demoCommand;
    demoCommand.Add(app);
    KivSearchCommand searchCommand;
    searchCommand.Add(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) {
            out << app.help();
            return 0;
        }
        err << e.what() << '\n';
        return 2;
    }
    if (*home)
        return RunHome(out);
    if (*dosPath)
        return RunDosPath(dosPathArg, out, err);
    int code = 2;
    if (repoCommands.Run(out, err, code))
        return code;
    if (inspectCommand.Run(out, err, code))
        return code;
    if (projectCommands.Run(out, err, code))
        return code;
    if (appTransferCommands.Run(out, err, code))
        return code;
    if (prgCommands.Run(out, err, code))
        return code;
    if (demoCommand.Run(out, err, code))
        return code;
    if (searchCommand.Run(out, err, code))
        return code;
    return 2;
}
