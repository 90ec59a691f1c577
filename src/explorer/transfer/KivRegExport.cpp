#include "explorer/transfer/KivRegExport.h"

#include "platform/KivOsError.h"
#include "support/KivFileBin.h"
#include "support/KivRegistry.h"
#include "support/KivStringUtil.h"

namespace {

struct Group {
    const char* text;
    const char* key;
};

constexpr Group kGroupTable[KivRegExport::kGroups] = {
    {"DBServer ParentClass Name", "DBServerEditor"},
    {"Debugger Options", "Debugger Options"},
    {"Directories", "Directories"},
    {"Editor Options", "Editor"},
    {"Editor Colors", "EditorColors"},
    {"Environment Options", "EnvironmentOpt"},
    {"Fonts", "Fonts"},
    {"WED Configuration", "Window"},
    {"All Applications Desktop", ""},
};

constexpr std::string_view kDeskTop = "-DeskTop";

} // namespace

const char* KivRegExport::GroupText(size_t group) {
    return group < kGroups ? kGroupTable[group].text : "";
}

const char* KivRegExport::GroupKey(size_t group) {
    return group < kGroups ? kGroupTable[group].key : "";
}

std::vector<std::string> KivRegExport::DeskTopKeys(KivRegistry& settings) {
    std::vector<std::string> keys;
    for (const std::string& name : settings.GetSections())
        if (name.size() >= kDeskTop.size() &&
            KivEqualsIgnoringCase(std::string_view(name).substr(name.size() - kDeskTop.size()), kDeskTop))
            keys.push_back(name);
    return keys;
}

KivTransferResult KivRegExport::Run(KivRegistry& settings, const Choice& choice,
                                    const std::string& fileName) {
    KivTransferResult result;
    std::vector<std::string> keys;
    for (size_t group = 0; group + 1 < kGroups; ++group)
        if (choice[group])
            keys.push_back(kGroupTable[group].key);
    if (choice[kGroups - 1])
        for (std::string& key : DeskTopKeys(settings))
            keys.push_back(std::move(key));

    KivFileBin file(fileName);
    const std::string header = "REGEDIT4\r\n";
    bool ok = file.Create() && file.WriteLine(header) == header.size() + 2;
    for (const std::string& key : keys) {
        if (!ok)
            break;
        if (!settings.KeyExist(key))
            continue;
        ok = settings.ExportToFile(key, file);
    }
    if (!ok) {
        result.outcome = KivTransferOutcome::Failed;
        result.message =
            "Cannot write " + fileName + ": " +
            (file.ErrorCode() != 0 ? file.ErrString() : kiv::oserror::Text(settings.LastError()));
    }
    file.Close();
    return result;
}
