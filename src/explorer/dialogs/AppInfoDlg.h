#pragma once

#include <QDialog>

#include <string>

class QListWidget;

// Lists the libraries of an application, one line each, in the order the caller adds them.
class AppInfoDlg final : public QDialog {
    Q_OBJECT
public:
    explicit AppInfoDlg(QWidget* owner = nullptr);

    // Adds one line (Windows-1252 bytes).
    void AddLibrary(const std::string& name);
    QListWidget* LibList() const { return m_list; }

private:
    QListWidget* m_list;
};
