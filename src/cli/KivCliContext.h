#pragma once

#include "cli/KivJsonText.h"

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace CLI {
class App;
class Option;
} // namespace CLI
class KivIDEBaseObject;
class KivPromptScope;
class KivRepositorySession;
class KivVOApplication;
class KivVOProject;
class KivVORepository;
struct KivTransferResult;

// What every kivrepo command goes through, once: its arguments (texts into the repository's
// Windows-1252, paths resolved), the repository session, the project it works on, the console
// prompt, the texts of failures and the JSON document it prints. One context serves one run.
class KivCliContext {
public:
    KivCliContext(std::ostream& out, std::ostream& err);
    ~KivCliContext();
    KivCliContext(const KivCliContext&) = delete;
    KivCliContext& operator=(const KivCliContext&) = delete;

    // A subcommand of `app` and what runs it; its options are added to what this returns.
    using Command = std::function<int(KivCliContext&)>;
    CLI::App* Add(CLI::App& app, const std::string& name, const std::string& description, Command run);
    // A subcommand that run(options, context) runs, `options` holding what its options read.
    template <class Options>
    CLI::App* Add(CLI::App& app, const std::string& name, const std::string& description,
                  int (*run)(const Options&, KivCliContext&), const Options& options) {
        return Add(app, name, description, [run, &options](KivCliContext& c) { return run(options, c); });
    }
    // Runs the subcommand the parsed command line chose; its exit code, 2 when there is none.
    int Run();
    // A value that lives as long as the context: what a group of subcommands reads its options
    // into.
    template <class T> T& Keep() {
        auto kept = std::make_shared<T>();
        m_kept.push_back(kept);
        return *kept;
    }

    // An option holding a text the repository stores or looks up (a name): converted from the
    // terminal's UTF-8 into Windows-1252 while the command line is parsed. A character the code
    // page cannot hold makes the command line wrong (exit 2), naming the character.
    static CLI::Option* Text(CLI::Option* option);
    // An option holding a path in host or DOS form, absolute or relative to the working folder:
    // resolved into an absolute DOS path while the command line is parsed.
    static CLI::Option* Path(CLI::Option* option);

    std::ostream& Out() const { return m_out; }
    std::ostream& Err() const { return m_err; }

    // Opens the repository for the run; false after the start failure was told. The end of the
    // run makes the project that was current at its start current again.
    bool Open();
    KivVORepository& Repository() const;
    // The project of that name (any letter case; the catalogue's spelling is used) made current
    // for the run, or the current project when the name is empty; null after the error was told.
    std::shared_ptr<KivVOProject> Project(const std::string& name);
    // Open, then Project.
    std::shared_ptr<KivVOProject> OpenProject(const std::string& name);
    // The application of that name in the project; null after the error was told.
    std::shared_ptr<KivVOApplication> Application(KivVOProject& project, const std::string& name);
    // OpenProject, then Application; the application's Owner is the project.
    std::shared_ptr<KivVOApplication> OpenApplication(const std::string& project, const std::string& name);

    // From here on, boxes and questions are lines on the error stream; a question gets `yes`
    // when the command has an option for it, else its default button.
    void Prompt(std::optional<bool> yes = std::nullopt);

    // The object's failure as the repository words it, with the engine's status text.
    static std::string ErrorText(const KivIDEBaseObject& object);
    // Tells the object's failure; 1, the exit code.
    int Report(const KivIDEBaseObject& object);
    // Tells a failure given in Windows-1252 (names included); 1, the exit code.
    int Fail(const std::string& text);
    // Tells a failure about a file or folder, the path in host form after the text; 1.
    int Fail(const std::string& text, const std::string& dosPath);

    // A DOS path in host form, as the documents show paths.
    static std::string Host(const std::string& dosPath);
    // Puts `key` (host form) and `key`Dos (DOS form) into the document.
    static void PutPath(kiv::cli::json& doc, const std::string& key, const std::string& dosPath);
    // Prints the command's document; 0, the exit code.
    int Print(const kiv::cli::json& doc);
    // Adds how a transfer ended to its document (outcome, log, errors, logDos) and then `tail`,
    // prints it, and tells on the error stream why a run that did not end well ended; the exit
    // code.
    int Finish(const KivTransferResult& result, kiv::cli::json doc,
               const kiv::cli::json& tail = kiv::cli::json::object());

private:
    std::ostream& m_out;
    std::ostream& m_err;
    std::vector<std::pair<CLI::App*, Command>> m_commands;
    std::vector<std::shared_ptr<void>> m_kept;
    std::unique_ptr<KivRepositorySession> m_session;
    std::unique_ptr<KivPromptScope> m_prompt;
};
