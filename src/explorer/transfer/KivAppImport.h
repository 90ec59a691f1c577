#pragma once

#include "explorer/transfer/KivTransferResult.h"

#include <string>
#include <vector>

class KivProgress;
class KivVOProject;

// One library section of an application-information file.
struct KivAppImportLibrary {
    enum State { Missing = 0, New = 1, Existing = 2 };

    std::string section; // "LIB001", the key of its node in the summary
    std::string name;
    std::string aef; // full DOS path in the folder of the .KAI
    State state = Missing;
};

// What an application-information file asks for, seen against a project: the summary the import
// dialog shows and the import works from.
struct KivAppImportPlan {
    std::string kaiPath;
    std::string folder;
    // The application's name in the file, and the name it will be imported under.
    std::string fileAppName;
    std::string appName;
    std::string appAef;
    bool appExists = false;
    // The project's application names, kept when the application exists, to check a new name.
    std::vector<std::string> existing;
    std::vector<KivAppImportLibrary> libraries;
    bool allPresent = true;
    bool anyExists = false;
    // Index of the first library whose AEF file is missing; -1 when none is.
    int firstMissing = -1;

    // Takes a new name for the application when it is not empty, differs from the current one
    // and no application of the project holds it (names compared as the repository compares
    // them, ignoring case); true when it was taken.
    bool Rename(const std::string& name);
    // The application can be imported: it does not exist, or it has been given a free name.
    bool CanImport() const { return !appExists || renamed; }

    bool renamed = false;
};

// Reads the .KAI (through the INI reader, which writes back what it reads) and looks each
// name up in the project.
KivAppImportPlan KivPlanAppImport(const std::string& kaiPath, KivVOProject& project);

// What to do with a library that exists already: delete it and import ('D'), keep it ('K') or
// merge the file into it ('M').
enum class KivExistingChoice : char { Delete = 'D', Keep = 'K', Merge = 'M' };

// Imports the libraries in file order, then the application under plan.appName. A failed
// library import asks the question whether to abort (Yes stops before the application); a failed
// application import is reported with an alert among the notices. Libraries imported before a
// stop stay imported.
KivTransferResult KivRunAppImport(const KivAppImportPlan& plan, KivExistingChoice choice,
                                  KivVOProject& project, KivProgress& progress, KivQuestion& question);
