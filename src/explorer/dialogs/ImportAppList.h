#pragma once

#include "explorer/transfer/KivAppImport.h"

#include <QDialog>

#include <string>
#include <vector>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

// The summary an application import shows before it starts: the application and its libraries
// as a tree, whether the application exists already, whether every library file is there and
// whether some library exists in the project, with the choice of what to do with those. Import
// ends with 1, Cancel with 0; Import is enabled only while the application can be imported.
class ImportAppList final : public QDialog {
    Q_OBJECT
public:
    // Data of the tree's nodes: the key ("App", "Lib", a section name), the image (1 application,
    // 2 library, 3 system library), the state image (0 none, 1 yes, 2 no) and the overlay
    // (1 = the warning: it exists in the project).
    static constexpr int KeyRole = Qt::UserRole;
    static constexpr int ImageRole = Qt::UserRole + 1;
    static constexpr int StateRole = Qt::UserRole + 2;
    static constexpr int OverlayRole = Qt::UserRole + 3;

    explicit ImportAppList(QWidget* owner = nullptr);

    // Shows the plan: builds the tree and the verdicts, selects the first library whose file is
    // missing, and enables Import when the application can be imported.
    void Fill(const KivAppImportPlan& plan);
    // The plan with the name chosen by Rename.
    const KivAppImportPlan& Plan() const { return m_plan; }

    // The radio group's value: "D", "K" or "M".
    std::string ImportGrp() const;
    void ImportGrp(const std::string& value);

    // The members the system names, for the caller and for tests.
    std::string cAppName() const { return m_plan.appName; }
    const std::vector<std::string>& aExisting() const { return m_plan.existing; }
    bool lHasError = false;

    QTreeWidgetItem* FindItem(const QString& key) const;

private:
    void RenamePB();
    void Verdict(QLabel* icon, QLabel* text, const char* iconName, const char* message);
    QTreeWidgetItem* Node(QTreeWidgetItem* parent, const QString& key, const std::string& text, int image,
                          int state, bool overlay);

    KivAppImportPlan m_plan;
    QTreeWidget* m_tree;
    QLabel* m_appInfo;
    QLabel* m_libInfo;
    QPushButton* m_import;
    QPushButton* m_cancel;
    QLabel* m_appIcon;
    QLabel* m_libIcon;
    QPushButton* m_rename;
    QGroupBox* m_group;
    QRadioButton* m_delete;
    QRadioButton* m_keep;
    QRadioButton* m_merge;
    QLabel* m_libInfo2;
    QLabel* m_libIcon2;
};
