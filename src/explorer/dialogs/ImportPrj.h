#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
struct KivProjectImportPlan;

// "Import Project": the new project's name and folder, preset from a .KPI, over a tree of the
// applications it lists, each marked by whether its AEF file is there. "&Import" ends with 1 once
// the name and the folder pass the checks; "&Cancel" ends with 0. Texts are Windows-1252 bytes.
class ImportPrj final : public QDialog {
    Q_OBJECT
public:
    // Roles of the tree's items: the key (the root's "Prj", an application's section name) and
    // the state image (1 = file present, 2 = file missing; the root has none).
    static constexpr int KeyRole = Qt::UserRole;
    static constexpr int StateRole = Qt::UserRole + 1;

    explicit ImportPrj(QWidget* owner = nullptr);

    // Presets name and path and builds the summary tree from the plan, root expanded.
    void Fill(const KivProjectImportPlan& plan);

    std::string PrjName() const;
    std::string PrjPath() const;
    bool CreatePath() const;

    // The repository's project names, handed in by the explorer.
    std::vector<std::string> aExisting;

    void ImportPB();
    void ChangePB();

private:
    QLabel* m_fixedText1;
    QLineEdit* m_prjName;
    QLabel* m_fixedText2;
    QLineEdit* m_prjPath;
    QPushButton* m_changePB;
    QPushButton* m_importPB;
    QPushButton* m_cancelPB;
    QCheckBox* m_createChk;
    QTreeWidget* m_prjTree;
};
