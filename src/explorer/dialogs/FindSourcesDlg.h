#pragma once

#include <QDialog>

#include <string>

class QCheckBox;
class QLineEdit;
class QRadioButton;

// Asks what to search for in the sources: a text or a regular expression, in the current project
// or in all projects.
class FindSourcesDlg final : public QDialog {
    Q_OBJECT
public:
    explicit FindSourcesDlg(QWidget* owner = nullptr);

    std::string Pattern() const;
    bool Regex() const;
    bool AllProjects() const;

    QLineEdit* PatternLine() const { return m_pattern; }

private:
    QLineEdit* m_pattern;
    QCheckBox* m_regex;
    QRadioButton* m_all;
};
