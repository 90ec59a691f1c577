#pragma once

#include <string>

class KivVORepository;
class QWidget;

// The project transfers as the explorer runs them, after its folder dialog: the progress dialog,
// the work, its messages and the offer to view the log. The explorer's menu methods call them.

// Exports the repository's current project into baseFolder\project. An interactive run (the
// menu's) asks "Do you wish to view the log file ?" when it went through and shows the log in
// SourceDlg on Yes. True when the run went through every application.
bool KivRunExportPrj(QWidget* owner, KivVORepository& repository, const std::string& baseFolder,
                     bool abortOnError, bool interactive);

// Exports every project below baseFolder; "Operation Aborted." when a project did not go through.
void KivRunExportAllPrj(QWidget* owner, KivVORepository& repository, const std::string& baseFolder,
                        bool abortOnError);

// Asks for a .KPI, shows ImportPrj, creates the project and imports its applications. True when
// the explorer is to be rebuilt: a project was made and no import failed (a cancel is no failure).
bool KivRunImportPrj(QWidget* owner, KivVORepository& repository);

