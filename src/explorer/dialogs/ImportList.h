#pragma once

#include <QDialog>
#include <QIcon>

class KivKeaPlan;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// "Import Summary": what an external-application file holds and what of it was found, before the
// import changes anything. The tree shows the application with its modules, libraries, UDC and
// CH files; overlay 1 (warning) marks an application name that is taken, overlay 2 ("no") a
// missing item. Import stays disabled while the name is taken; Rename takes a new one.
class ImportList final : public QDialog {
    Q_OBJECT
public:
    // Item data roles the tree carries: the item's id ("Module001", "Lib001", ...) and its
    // overlay number (0 none, 1 warning, 2 "no").
    static constexpr int kIdRole = Qt::UserRole;
    static constexpr int kOverlayRole = Qt::UserRole + 1;
    // The status icons carry their state ("yes", "warning", "no") in this property.
    static constexpr const char* kStatusProperty = "kivStatus";

    // The plan is read and, through Rename, changed; it must outlive the dialog.
    explicit ImportList(KivKeaPlan& plan, QWidget* owner = nullptr);

    // The name the application will be created under.
    std::string cAppName() const;

    // Asks for a new name; a free one becomes the application's name and enables Import.
    void RenamePB();

    QTreeWidget* TreeInfo() const { return m_tree; }
    QTreeWidgetItem* AppItem() const { return m_appItem; }

private:
    void Fill();
    QTreeWidgetItem* AddItem(QTreeWidgetItem* parent, const std::string& id, const std::string& label,
                             int image, int overlay);
    void SetStatus(QLabel* icon, int status);
    QIcon Image(int image, int overlay) const;

    KivKeaPlan& m_plan;
    // Indexed by image number (1-9), with the "yes" status icon as 10.
    QIcon m_images[11];
    QTreeWidget* m_tree;
    QTreeWidgetItem* m_appItem = nullptr;
    QLabel* m_appInfo;
    QLabel* m_modInfo;
    QLabel* m_libInfo;
    QLabel* m_udcInfo;
    QLabel* m_chInfo;
    QLabel* m_appIcon;
    QLabel* m_modIcon;
    QLabel* m_libIcon;
    QLabel* m_udcIcon;
    QLabel* m_chIcon;
    QPushButton* m_import;
    QPushButton* m_cancel;
    QPushButton* m_rename;
};
