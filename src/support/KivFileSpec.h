#pragma once

#include "support/KivDate.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Names one file by its full DOS-form path and answers what the file system knows about it.
class KivFileSpec {
public:
    KivFileSpec() = default;
    // A DOS path, or a host path as a person typed it; a relative one is taken against the
    // working directory at construction.
    explicit KivFileSpec(std::string_view fileName);

    std::string FullPath() const { return m_fullPath; }
    std::string FullPath(std::string_view fileName);
    // Drive and folders with their trailing backslash ("C:\Cavo25\AEF\").
    std::string Path() const;
    // The name without folder and extension.
    std::string FileName() const;
    // Replaces the name, keeping folder and extension.
    std::string FileName(std::string_view name);
    // The extension with its dot (".PRG"), or an empty text.
    std::string Extension() const;
    // Replaces whatever the name ends in; the dot may be given or not, an empty text removes it.
    std::string Extension(std::string_view extension);

    // Where the file is on the host, found ignoring case; empty for a path on an unmapped drive.
    std::optional<std::filesystem::path> HostPath() const;
    // True when a file (not a folder) exists at the path.
    bool Find() const;
    // Local date and hh:mm:ss time of the file's last change; the null date and an empty text
    // when there is no such file.
    KivDate DateChanged() const;
    std::string TimeChanged() const;

private:
    // Offset of the first character of the name (after the last backslash or the drive).
    size_t NameStart() const;
    // Offset of the extension's dot within the full path, or npos.
    size_t ExtensionStart() const;

    std::string m_fullPath;
};
