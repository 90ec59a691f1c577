#include "cli/KivCliContext.h"

#include "cli/KivCliCommands.h"
#include "cli/KivConsolePrompt.h"
#include "engine/KivEngineStatus.h"
#include "explorer/transfer/KivTransferResult.h"
#include "platform/KivDosPath.h"
#include "repository/KivRepositorySession.h"
#include "repository/KivVOApplication.h"
#include "repository/KivVOProject.h"
#include "repository/KivVORepository.h"
#include "support/KivStringUtil.h"
#include "platform/KivUtf8.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <ostream>

using kiv::cli::json;

namespace {

std::string CodePoint(char32_t c) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

std::string ToAnsi(std::string& text) {
    KivUnmappable refused;
    auto bytes = KivUtf8ToAnsi(text, &refused);
    if (!bytes) {
        if (!refused.codePoint)
            return "\"" + KivAnsiToUtf8(text) + "\" is not UTF-8 text; the repository cannot store it";
        return "\"" + text + "\" holds \"" + refused.character + "\" (" + CodePoint(*refused.codePoint) +
               "), which the repository's Windows-1252 cannot store";
    }
    text = std::move(*bytes);
    return {};
}

} // namespace

KivCliContext::KivCliContext(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

KivCliContext::~KivCliContext() = default;

CLI::App* KivCliContext::Add(CLI::App& app, const std::string& name, const std::string& description,
                             Command run) {
    CLI::App* command = app.add_subcommand(name, description);
    m_commands.emplace_back(command, std::move(run));
    return command;
}

int KivCliContext::Run() {
    for (const auto& [command, run] : m_commands)
        if (command->parsed())
            return run(*this);
    return 2;
}

CLI::Option* KivCliContext::Text(CLI::Option* option) {
    return option->transform(CLI::Validator(ToAnsi, ""));
}

CLI::Option* KivCliContext::Path(CLI::Option* option) {
    return option->transform(CLI::Validator(
        [](std::string& path) {
            path = kiv::dospath::FromTyped(path);
            return std::string();
        },
        ""));
}

bool KivCliContext::Open() {
    m_session = std::make_unique<KivRepositorySession>();
    if (m_session->Success())
        return true;
    m_err << "Failed to Initialize Repository !!\nAlready Open ?\n";
    if (m_session->Repository())
        Report(*m_session->Repository());
    return false;
}

KivVORepository& KivCliContext::Repository() const {
    return *m_session->Repository();
}

std::shared_ptr<KivVOProject> KivCliContext::Project(const std::string& name) {
    KivVORepository& repository = Repository();
    if (!name.empty()) {
        // The catalogue's own spelling: a project object whose name differs in case would select
        // its project anew at each call and so break the engine's walks.
        std::string found;
        for (const std::string& entry : repository.ProjectNameList())
            if (KivEqualsIgnoringCase(entry, name))
                found = entry;
        if (!repository.Success()) {
            Report(repository);
            return nullptr;
        }
        if (found.empty()) {
            Fail("Project not found: " + name);
            return nullptr;
        }
        repository.CurrentProjectName(found);
    }
    auto project = repository.CurrentProject();
    if (!project || !repository.Success() || !repository.ErrorString().empty()) {
        Report(repository);
        return nullptr;
    }
    return project;
}

std::shared_ptr<KivVOProject> KivCliContext::OpenProject(const std::string& name) {
    return Open() ? Project(name) : nullptr;
}

std::shared_ptr<KivVOApplication> KivCliContext::Application(KivVOProject& project, const std::string& name) {
    auto application = project.ApplicationFind(name);
    if (application)
        return application;
    if (!project.Success())
        Report(project);
    else
        Fail("Application not found: " + name);
    return nullptr;
}

std::shared_ptr<KivVOApplication> KivCliContext::OpenApplication(const std::string& project,
                                                                 const std::string& name) {
    auto found = OpenProject(project);
    return found ? Application(*found, name) : nullptr;
}

void KivCliContext::Prompt(std::optional<bool> yes) {
    m_prompt.reset();
    m_prompt = std::make_unique<KivPromptScope>(std::make_shared<KivConsolePrompt>(m_err, yes));
}

std::string KivCliContext::ErrorText(const KivIDEBaseObject& object) {
    std::string text = object.ErrorString();
    if (object.ErrorCode() != 0)
        text += ": " + kiv::engine::StatusText(object.ErrorCode());
    return text;
}

int KivCliContext::Report(const KivIDEBaseObject& object) {
    return Fail(ErrorText(object));
}

int KivCliContext::Fail(const std::string& text) {
    std::string line = text;
    for (size_t at = line.find("\r\n"); at != std::string::npos; at = line.find("\r\n", at))
        line.replace(at, 2, "\n");
    m_err << KivAnsiToUtf8(line) << '\n';
    return 1;
}

int KivCliContext::Fail(const std::string& text, const std::string& dosPath) {
    m_err << KivAnsiToUtf8(text) << Host(dosPath) << '\n';
    return 1;
}

std::string KivCliContext::Host(const std::string& dosPath) {
    auto host = kiv::dospath::Resolve(dosPath);
    return host ? host->string() : dosPath;
}

void KivCliContext::PutPath(json& doc, const std::string& key, const std::string& dosPath) {
    doc[key] = Host(dosPath);
    doc[key + "Dos"] = kiv::cli::Text(dosPath);
}

int KivCliContext::Print(const json& doc) {
    // A host path may hold bytes that are not UTF-8; the document stays readable.
    m_out << doc.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
    return 0;
}

int KivCliContext::Finish(const KivTransferResult& result, json doc, const json& tail) {
    doc["outcome"] = KivTransferOutcomeName(result.outcome);
    if (!result.logPath.empty())
        doc["log"] = Host(result.logPath);
    if (result.errors)
        doc["errors"] = result.errors;
    if (!result.logPath.empty())
        doc["logDos"] = kiv::cli::Text(result.logPath);
    for (const auto& item : tail.items())
        doc[item.key()] = item.value();
    Print(doc);
    if (result.Done())
        return 0;
    std::string line = KivTransferOutcomeName(result.outcome);
    if (!result.message.empty())
        line += ": " + result.message;
    if (result.errors > 0)
        line += " (" + std::to_string(result.errors) + (result.errors == 1 ? " error)" : " errors)");
    return Fail(line);
}

CLI::Option* KivCliOptions::AddProject(CLI::App* command, const std::string& help) {
    return KivCliContext::Text(command->add_option("--project", project, help));
}

void KivCliOptions::AddApplication(CLI::App* command, const std::string& label, const std::string& help) {
    KivCliContext::Text(command->add_option(label, application, help)->required());
    AddProject(command);
}
