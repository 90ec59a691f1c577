#pragma once

#include "explorer/transfer/KivTransferResult.h"

#include <string>

class KivProgress;
class KivVOApplication;

// What the folder dialog asked for an application export.
struct KivAppExportOptions {
    // The base folder (DOS form); the application gets a folder of its own inside it.
    std::string folder;
    bool includeDlls = false;
    bool abortOnError = false;
};

// The file name an application's AEF gets in an export folder: the file name and extension of
// its recorded export file name, or its name followed by ".AEF" when it has none.
std::string KivAefFileName(KivVOApplication& application);

// Writes the application and every library it depends on as AEF files into
// folder\name, with name.KAI listing them and name.log. An invalid application does nothing; a
// system library is refused with an alert. The outcome is Failed when the folder cannot be made,
// when an export failed, or when a line of the log or the .KAI could not be written.
KivTransferResult KivExportApp(KivVOApplication& application, const KivAppExportOptions& options,
                               KivProgress& progress);
