#pragma once

#include "platform/KivSymbol.h"

#include <QList>
#include <QMainWindow>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class KivEntityAbstract;
class KivIDEBaseObject;
class KivDate;
struct KivEntityRef;
class KivVOApplication;
class KivVOModule;
class KivVORepository;
class QAction;
class QLabel;
class QSplitter;
class SourcePane;
class QTreeWidget;
class QTreeWidgetItem;

// The program's main window: the repository as a tree of projects, applications and modules on
// the left, the children of the selected node in a detail list on the right, and the menu and
// toolbar that start every transfer and tool. Texts from the repository are Windows-1252 bytes;
// only the widgets see them decoded.
class RepoExplorer : public QMainWindow {
    Q_OBJECT
public:
    // Positions in the image list shared by tree and list (counted from 1, as the rows name them).
    enum IconIndex {
        kIconVO = 1,
        kIconPrj,
        kIconApp,
        kIconLib,
        kIconDLL,
        kIconSysLib,
        kIconMEF,
        kIconCode,
        kIconExternal,
    };

    // The ids of the menu items.
    enum MenuId {
        IDM_Exit = 891,
        IDM_ExportPrj = 893,
        IDM_ImportPrj = 894,
        IDM_DeletePrj = 896,
        IDM_ExportAllPrj = 898,
        IDM_ExportAsPrg = 901,
        IDM_ExportApp = 902,
        IDM_ImportAsPrg = 904,
        IDM_ImportApp = 905,
        IDM_ListLib = 907,
        IDM_SaveReg = 909,
        IDM_ExportPath = 910,
        IDM_About = 912,
        IDM_FindEntity = 920,
        IDM_FindInSources = 921,
        IDM_OpenExportFile = 922,
        // Source-control folders and comparison, after the items of the Application menu.
        IDM_ImportMef = 931,
        IDM_ExportMef = 932,
        IDM_CompareFile = 933,
    };

    // What a tree node stands for. `object` is the project or application loaded on the first
    // expansion (null until then; the root counts as loaded). `kind` is null for the root.
    struct NodeRecord {
        std::shared_ptr<KivIDEBaseObject> object;
        bool loaded = false;
        KivSymbol kind;
        std::string project;
        uint16_t appId = 0;
        uint32_t modId = 0;
    };

    // What a list row stands for: `kind` is Project, Application, Module or Entity; the IDs that
    // kind needs are filled, the others are 0. A row of an opened export file has the kind
    // FileModule (its node's key in `project`) or FileEntity (the entity in `fileEntity`).
    struct RowRecord {
        KivSymbol kind;
        std::string project;
        uint16_t appId = 0;
        uint32_t modId = 0;
        uint32_t entId = 0;
        std::shared_ptr<KivEntityAbstract> fileEntity;
    };

    // Opens the repository with the engine in use; everything else is built only when that
    // succeeds (IsValid).
    explicit RepoExplorer(QWidget* owner = nullptr);
    ~RepoExplorer() override;

    bool IsValid() const { return m_isValid; }

    // Rebuilds the list and the tree from the repository, then selects and expands the current
    // project. Operations that add or remove projects call it.
    void BuildExplorer(bool sizePane = true);

    // The application of the selected tree node (application or module node); otherwise an
    // application that is not valid.
    std::shared_ptr<KivVOApplication> Application() const;
    // The module of the selected module node; otherwise an empty module.
    std::shared_ptr<KivVOModule> Module() const;

    // Indices of the selected list rows, ascending, and their records in the same order.
    std::vector<int> GetSelectedEntitiesIndex() const;
    std::vector<RowRecord> GetSelectedEntitiesID() const;

    // Shows a source in the viewer: `text` with `caption` when a text is given, otherwise the
    // entity's own source with its module's name as caption.
    void EditEntity(const std::string& prjName, uint16_t appId, uint32_t moduleId, uint32_t entityId,
                    const std::optional<std::string>& text = std::nullopt, const std::string& caption = {});

    // Project transfers (RepoExplorerProject.cpp). ExportPrj exports the current project; without
    // a folder it asks for one (and for "Abort On Error") and offers the log afterwards. True
    // when the run went through every application.
    bool ExportPrj(const std::optional<std::string>& folder = std::nullopt, bool abortOnError = false);
    void ExportAllPrj();
    void ImportPrj();

    // Lists the libraries of the current application; nothing without one.
    void ListLib();

    // Export and import as external modules, registry settings, export path, project deletion
    // (RepoExplorerPrgTools.cpp).
    void ExportAsPrg();
    void ImportAsPrg();
    void SaveReg();
    void ExportPath();
    void DeletePrj();
    void AEFExit();

    QTreeWidget* TreeWindow() const { return m_tree; }
    QTreeWidget* ListWindow() const { return m_list; }
    // The menu item (and toolbar button) with that id; null for an unknown id.
    QAction* MenuItem(int id) const;

    // The tree node with that key (compared as a symbol, so letter case does not matter); null
    // when there is none.
    QTreeWidgetItem* FindNode(const std::string& key) const;
    // The record of a tree node; null for a placeholder or a node of another tree.
    const NodeRecord* Record(const QTreeWidgetItem* node) const;
    // The record of a list row; null when there is no such row.
    const RowRecord* Row(int index) const;

    // Loads the children of a project or application node once; other nodes load nothing.
    void ExpandItem(QTreeWidgetItem* node);
    // Fills the list with the children of a tree node.
    void UpdateList(QTreeWidgetItem* node);

    // The text of the placeholder child that makes an unloaded node expandable.
    static constexpr const char* kDummyText = "Dummy Item";

    // Application transfers with implicants (RepoExplorerAppTransfer.cpp): export the current
    // application with the libraries it uses; import a .KAI into the current project.
    void ExportApp();
    void ImportApp();
    // Source-control folders (RepoExplorerScm.cpp): MEF files picked one by one or as a folder
    // into an application (the selected one, or another named in the dialog), the selected
    // application's modules out as MEF files (and PRG files), and the selected application or
    // module compared with an AEF, MEF or PRG file.
    void ImportMef();
    void ExportMef();
    void CompareWithFile();
    // Loads the project's node again from the repository and shows its children in the list.
    void ReloadProjectNode(const std::string& project);

    // The source pane below the list, and the line that tells the selected node and its rows.
    SourcePane* Pane() const { return m_pane; }
    QLabel* StatusText() const { return m_status; }

    // Finding (RepoExplorerFind.cpp). FindEntity asks for a part of a name (`typed` is put in the
    // box first) and shows the entity chosen. FindInSources asks what to look for, unless told, and lists the
    // matching lines in the results panel; false when nothing was searched (refused pattern, no project).
    void FindEntity(const std::string& typed = {});
    bool FindInSources(const std::optional<std::string>& pattern = std::nullopt, bool regex = false,
                       bool allProjects = false);
    QTreeWidget* SearchResults() const { return m_results; }
    // Selects the module's node and the entity's row, and marks the line (from 1) in the pane;
    // false when the entity is not listed.
    bool ShowEntity(const KivEntityRef& entity, int line = 0);

    // Opens an AEF, MEF or PRG file read-only under a top-level node of its own
    // (RepoExplorerExportFile.cpp); without a file it asks for one. False when nothing was
    // opened. A damaged file is opened with what was read before the damage.
    bool OpenExportFile(const std::optional<std::string>& file = std::nullopt);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenu();
    // The finding and file items that follow the menu's own (RepoExplorerFind.cpp).
    void ConnectBrowsing();
    // The transfers and tools are methods written in files of their own; this is where their menu
    // items are connected to them and enabled.
    void ConnectOperations();
    void BuildConfig();
    void BuildList();
    void BuildTree(bool sizePane);

    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const std::string& text, const std::string& key,
                             int icon, NodeRecord record, bool withPlaceholder);
    void AddPlaceholder(QTreeWidgetItem* node);
    void AddRow(const std::string& name, const std::string& type, const std::string& created,
                const std::string& built, int icon, RowRecord record);
    void ClearList();
    void SelectNode(QTreeWidgetItem* node);
    // Sizes the list's columns to their texts and tells the node and its rows in the status line.
    void ListFilled(QTreeWidgetItem* node);
    // Shows in the pane the source of the selected row's entity, or of the selected module node.
    void ShowSelectionSource();
    // A date and time as the list shows them.
    static std::string MomentText(const KivDate& date, const std::string& time);

    // The nodes and rows of opened export files (RepoExplorerExportFile.cpp): AddFileNodes puts
    // the opened files back after the tree is rebuilt; UpdateFileList fills the list for a file
    // node (true when the node is one); FileSource gives the pane's text for a file node or row.
    static KivSymbol FileModuleKind();
    // The key of an application node, or of a module node when a module is given.
    static std::string NodeKey(const std::string& project, uint16_t appId, uint32_t modId = 0);
    // The dock below the window that lists the lines a search through the sources found.
    void BuildSearchResults();
    void OpenSearchResult(QTreeWidgetItem* row);
    void AddFileNodes();
    void AddFileNode(size_t index);
    bool UpdateFileList(QTreeWidgetItem* node, const NodeRecord& record);
    std::optional<std::string> FileSource(const NodeRecord* node, const RowRecord* row) const;

    void TreeViewSelectionChanged();
    void TreeViewItemExpanding(QTreeWidgetItem* node);
    void ListViewMouseButtonDoubleClick(QTreeWidgetItem* row);
    void ListViewKeyDown(int key);
    void OpenRow(int index);
    // The source the viewer shows for an entity row of the repository or of an export file.
    std::string RowSource(const RowRecord& row) const;

    std::shared_ptr<KivVORepository> m_repository;
    bool m_isValid = false;
    bool m_building = false;
    std::vector<KivSymbol> m_entityFilter;

    QSplitter* m_split = nullptr;
    // The list above the source pane, on the right of the tree.
    QSplitter* m_right = nullptr;
    SourcePane* m_pane = nullptr;
    QLabel* m_status = nullptr;
    QTreeWidget* m_results = nullptr;
    QLabel* m_resultsSummary = nullptr;
    // The entities of the last search through the sources; the results' rows refer to them.
    std::vector<KivEntityRef> m_searched;
    // Opened export files: the path and the reader (an AEF, or a MEF or PRG module).
    std::vector<std::pair<std::string, std::shared_ptr<KivIDEBaseObject>>> m_files;
    QTreeWidget* m_tree = nullptr;
    QTreeWidget* m_list = nullptr;
    std::map<int, QAction*> m_menuItems;

    // Node records by node, and nodes by key symbol; both are rebuilt with the tree.
    std::unordered_map<const QTreeWidgetItem*, NodeRecord> m_nodes;
    std::unordered_map<uint32_t, QTreeWidgetItem*> m_keys;
    std::vector<RowRecord> m_rows;
    // Rows made by AddRow, added to the list at the end of UpdateList.
    QList<QTreeWidgetItem*> m_pendingRows;
};
