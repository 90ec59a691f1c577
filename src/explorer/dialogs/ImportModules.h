#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;

// Asks a module import for its MEF files and the application they go into: "&Files..." adds
// files picked in the file dialog (several at once), "F&older..." every MEF of a folder, in name
// order. "&Import" (enabled once there are files and a name) ends with 1, "&Cancel" with 0.
// Names and paths are Windows-1252 bytes, paths in DOS form.
class ImportModules final : public QDialog {
    Q_OBJECT
public:
    ImportModules(const std::string& applicationName, QWidget* owner = nullptr);

    std::string ApplicationName() const;
    const std::vector<std::string>& Files() const { return m_files; }
    // Adds files (or a folder's MEF files) to the list; a file already listed is not added again.
    void AddPaths(const std::vector<std::string>& paths);

    QLineEdit* oDCAppName() const { return m_appName; }
    QListWidget* oDCFileList() const { return m_list; }
    QPushButton* oCCAddFiles() const { return m_addFiles; }
    QPushButton* oCCAddFolder() const { return m_addFolder; }
    QPushButton* oCCImportPB() const { return m_importPB; }
    QPushButton* oCCCancelPB() const { return m_cancelPB; }

private:
    void Update();

    QLineEdit* m_appName;
    QListWidget* m_list;
    QPushButton* m_addFiles;
    QPushButton* m_addFolder;
    QPushButton* m_importPB;
    QPushButton* m_cancelPB;
    std::vector<std::string> m_files;
};
