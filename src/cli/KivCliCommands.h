#pragma once

#include <string>

namespace CLI {
class App;
class Option;
} // namespace CLI
class KivCliContext;

// kivrepo's subcommands come in groups, a file each. A group's function adds its subcommands,
// with their options, to `app`, to be run through `context`; KivRunCli adds the groups in the
// order the help lists them.
void KivAddRepoCommands(CLI::App& app, KivCliContext& context);
void KivAddInspectCommand(CLI::App& app, KivCliContext& context);
void KivAddProjectCommands(CLI::App& app, KivCliContext& context);
void KivAddAppTransferCommands(CLI::App& app, KivCliContext& context);
void KivAddPrgCommands(CLI::App& app, KivCliContext& context);
void KivAddDemoCommand(CLI::App& app, KivCliContext& context);
void KivAddSearchCommand(CLI::App& app, KivCliContext& context);
void KivAddMefCommands(CLI::App& app, KivCliContext& context);
void KivAddDiffCommand(CLI::App& app, KivCliContext& context);

// The values of the options most subcommands take. A group keeps one (with its own options
// beside these) for the run; only one subcommand runs, so the subcommands of a group share it.
struct KivCliOptions {
    // --project NAME: the project the subcommand works on.
    CLI::Option* AddProject(CLI::App* command,
                            const std::string& help = "the project (default: the current one)");

    // LABEL, the application the subcommand works on, and the --project it is in.
    void AddApplication(CLI::App* command, const std::string& label, const std::string& help);

    std::string project;
    std::string application;
    std::string name;
    std::string dir;
    std::string file;
    std::string rename;
    bool abortOnError = false;
};
