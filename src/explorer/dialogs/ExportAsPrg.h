#pragma once

#include <QDialog>

#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Asks an export for its base folder: preset from the IDE's "Directories"/"AEFPath" setting,
// changed by typing or through the folder browser. Ends with 1 for "&Export" and 0 for "&Cancel".
// Callers adapt the caption, the check boxes and the Export button to their task before showing it,
// and read the folder (trimmed) and the two check boxes after. Paths are DOS-form Windows-1252 bytes.
class ExportAsPrg final : public QDialog {
    Q_OBJECT
public:
    explicit ExportAsPrg(QWidget* owner = nullptr);

    // The folder as typed, without leading and trailing blanks.
    std::string FolderPath() const;
    void FolderPath(const std::string& folder);

    QLineEdit* oDCFolderPath() const { return m_folderPath; }
    QPushButton* oCCChangeFolder() const { return m_changeFolder; }
    QPushButton* oCCExportPB() const { return m_exportPB; }
    QPushButton* oCCCancelPB() const { return m_cancelPB; }
    QCheckBox* oDCDLLChk() const { return m_dllChk; }
    QCheckBox* oDCAbortChk() const { return m_abortChk; }

    void ChangeFolder();
    void ExportPB();
    void CancelPB();
    void reject() override;

private:
    // Fills the folder from the settings, which keep the default when they had no value.
    void PostInit();

    QLabel* m_folderLabel;
    QLineEdit* m_folderPath;
    QPushButton* m_changeFolder;
    QPushButton* m_exportPB;
    QPushButton* m_cancelPB;
    QCheckBox* m_dllChk;
    QCheckBox* m_abortChk;
};
