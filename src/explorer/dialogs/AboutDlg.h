#pragma once

#include <QDialog>

class KivHyperLink;
class QLabel;

// The About box: the program's icon, name and version, who makes it, and links to its home page
// and to the makers' mail address.
class AboutDlg final : public QDialog {
    Q_OBJECT
public:
    explicit AboutDlg(QWidget* owner = nullptr);

    QLabel* Version() const { return m_version; }
    KivHyperLink* HomePage() const { return m_homePage; }
    KivHyperLink* EMail() const { return m_eMail; }

private:
    QLabel* m_version;
    KivHyperLink* m_homePage;
    KivHyperLink* m_eMail;
};
