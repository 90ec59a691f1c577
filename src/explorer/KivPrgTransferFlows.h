#pragma once

#include <string>

class KivVOApplication;
class KivVORepository;
class QWidget;

// The explorer's side of the PRG transfers and the tools: the dialogs, the progress dialogs and
// the messages around the work of the transfer library. The explorer's menu methods call these
// after they have picked what to work on.

// Writes the application into the base folder chosen in the folder dialog, with the two-bar
// progress dialog, then offers the log.
void KivExportAsPrgRun(KivVOApplication& application, const std::string& baseFolder, QWidget* owner);

// Asks for a .KEA, shows the import summary and, on Import, creates the application in the
// current project. True when an application was created (the project's tree needs a reload).
bool KivImportAsPrgFlow(KivVORepository& repository, QWidget* owner);

// Asks for the groups and the file, and writes the REGEDIT4 file.
void KivSaveRegFlow(QWidget* owner);

// Points every application's export file of the current project into the folder, then says so.
void KivExportPathRun(KivVORepository& repository, const std::string& folder);

// Deletes the current project after the question; true when it was deleted (the tree needs a
// rebuild).
bool KivDeletePrjFlow(KivVORepository& repository);
