#include "explorer/transfer/KivAppExport.h"

#include "explorer/transfer/KivImplicants.h"
#include "explorer/transfer/KivLineWriter.h"
#include "repository/KivVOApplication.h"
#include "support/KivPathUtil.h"
#include "support/KivProgress.h"
#include "support/KivStringUtil.h"

#include <cstdio>
#include <set>

namespace {

// Two applications may record the same export file name; the second one gets "_2" before the
// extension (then "_3", ...), so that no AEF of the run replaces another one or the .KAI.
class FileNames {
public:
    void Reserve(const std::string& name) { m_used.insert(KivUpper(name)); }

    std::string Unique(const std::string& name) {
        std::string candidate = name;
        const std::string ext = KivExtractFileExt(name);
        const std::string stem = name.substr(0, name.size() - ext.size());
        for (int n = 2; m_used.count(KivUpper(candidate)) != 0; ++n)
            candidate = stem + "_" + std::to_string(n) + ext;
        Reserve(candidate);
        return candidate;
    }

private:
    std::set<std::string> m_used;
};

class Run {
public:
    Run(KivVOApplication& app, const KivAppExportOptions& options, KivProgress& progress,
        const std::string& folder)
        : m_app(app), m_options(options), m_progress(progress), m_folder(folder),
          m_base(KivSafeFileName(app.Name())), m_log(KivConcatDir(folder, m_base + ".log")),
          m_kai(KivConcatDir(folder, m_base + ".KAI")) {
        m_names.Reserve(m_base + ".log");
        m_names.Reserve(m_base + ".KAI");
    }

    KivTransferResult Go() {
        KivTransferResult result;
        const auto libraries = KivBuildImplicantsList(m_app);

        m_progress.SetCaption("Exporting Application : " + m_app.Name());
        m_progress.SetRange(0, 1, static_cast<uint32_t>(libraries.size() + 1));
        m_progress.SetLabel(0, "Application :");

        if (!m_log.Create()) {
            result.outcome = KivTransferOutcome::Failed;
            result.message = "Cannot create the log " + m_log.DosPath() + ": " + m_log.ErrorText();
            return result;
        }
        result.logPath = m_log.DosPath();
        if (!m_kai.Create())
            WriteFailure(m_kai);

        m_kai.WriteLine("[APP]");
        m_kai.WriteLine("Name=" + m_app.Name());
        m_log.WriteLine("Exporting Application and Implicants.");
        m_log.WriteLine("Application : " + m_app.Name());
        m_log.WriteLine(std::string("Include DLLs: ") + (m_options.includeDlls ? "True" : "False"));

        const std::string aef = m_names.Unique(KivAefFileName(m_app));
        m_kai.WriteLine("AEF=" + aef);
        m_kai.WriteLine("");
        m_progress.SetPosition(0, 1);
        m_progress.SetText(0, m_app.Name());

        bool stop = !Export(m_app, aef) && m_options.abortOnError;
        bool cancelled = false;
        for (size_t i = 0; !stop && i < libraries.size(); ++i) {
            KivVOApplication& library = *libraries[i];
            m_progress.SetPosition(0, static_cast<uint32_t>(i + 2));
            m_progress.SetText(0, library.Name());
            if (m_progress.CancelRequested()) {
                cancelled = true;
                break;
            }
            m_log.WriteLine("");
            m_log.WriteLine("Library : " + library.Name());
            const std::string libraryAef = m_names.Unique(KivAefFileName(library));
            // The block goes in before the export, so a library that could not be exported is
            // still listed.
            m_kai.WriteLine("[LIB" + Number(i + 1) + "]");
            m_kai.WriteLine("Name=" + library.Name());
            m_kai.WriteLine("AEF=" + libraryAef);
            m_kai.WriteLine("");
            stop = !Export(library, libraryAef) && m_options.abortOnError;
        }

        if (!m_kai.Close())
            WriteFailure(m_kai);
        const bool logWritten = m_log.Close();

        result.errors = m_errors;
        if (cancelled)
            result.outcome = KivTransferOutcome::Cancelled;
        else if (stop)
            result.outcome = KivTransferOutcome::Aborted;
        else if (m_errors > 0 || !logWritten)
            result.outcome = KivTransferOutcome::Failed;
        if (!logWritten)
            result.message = "Cannot write the log " + m_log.DosPath() + ": " + m_log.ErrorText();
        else if (m_kai.Failed())
            result.message = "Cannot write " + m_kai.DosPath() + ": " + m_kai.ErrorText();
        return result;
    }

private:
    static std::string Number(size_t n) {
        char text[24];
        std::snprintf(text, sizeof text, "%03zu", n);
        return text;
    }

    bool Export(KivVOApplication& app, const std::string& aef) {
        const std::string target = KivConcatDir(m_folder, aef);
        m_log.WriteLine("   Exp Name : " + aef);
        m_log.WriteLine("   Kiv Name : " + target);
        const bool done = m_options.includeDlls ? app.ExportToAEF_DLL(target) : app.ExportToAEF(target);
        if (!done) {
            m_log.WriteLine("--->Error : Cannot Export to AEF");
            ++m_errors;
        }
        return done;
    }

    // Logged once per file, where the log can still be written.
    void WriteFailure(const KivLineWriter& file) {
        if (m_reported.insert(file.DosPath()).second) {
            m_log.WriteLine("--->Error : Cannot Write " + file.DosPath());
            ++m_errors;
        }
    }

    KivVOApplication& m_app;
    const KivAppExportOptions& m_options;
    KivProgress& m_progress;
    std::string m_folder;
    std::string m_base;
    KivLineWriter m_log;
    KivLineWriter m_kai;
    FileNames m_names;
    std::set<std::string> m_reported;
    int m_errors = 0;
};

} // namespace

std::string KivAefFileName(KivVOApplication& application) {
    const std::string recorded = KivExtractFileInfo(application.FullPath());
    // A recorded name that is only a folder leaves no file name to keep.
    if (recorded.empty() || recorded == KivExtractFileExt(recorded))
        return KivSafeFileName(application.Name() + ".AEF");
    return KivSafeFileName(recorded);
}

KivTransferResult KivExportApp(KivVOApplication& application, const KivAppExportOptions& options,
                               KivProgress& progress) {
    KivTransferResult result;
    if (!application.IsValid()) {
        result.outcome = KivTransferOutcome::Failed;
        result.message = "No application selected.";
        return result;
    }
    if (application.IsSystemLibrary()) {
        result.outcome = KivTransferOutcome::Failed;
        result.message = "You can't export a System Library !";
        result.notices.push_back(KivNotice::Alert(result.message, "Error"));
        return result;
    }
    const std::string folder = KivConcatDir(KivAllTrim(options.folder), KivSafeFileName(application.Name()));
    KivDirMake(folder);
    if (!KivIsDir(folder)) {
        result.outcome = KivTransferOutcome::Failed;
        result.message = "Cannot create the folder " + folder;
        return result;
    }
    return Run(application, options, progress, folder).Go();
}
