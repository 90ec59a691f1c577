#pragma once

#include <QDialog>
#include <QMargins>

#include <string>

class QPlainTextEdit;
class QPushButton;
class KivSourceHighlighter;

// Shows a source text or a log: read-only, fixed pitch, coloured like the language. Resizable:
// the text keeps the distances to the dialog's edges it was created with, "&Ok" keeps its place
// in the bottom right corner, and nothing ever gets a negative size. Texts are Windows-1252 bytes.
class SourceDlg final : public QDialog {
    Q_OBJECT
public:
    explicit SourceDlg(QWidget* owner = nullptr);

    std::string Caption() const;
    void Caption(const std::string& caption);
    // The text shown, with CR LF line ends.
    std::string Text() const;
    void Text(const std::string& text);

    QPlainTextEdit* SourceMLE() const { return m_source; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Arrange();

    QPlainTextEdit* m_source;
    QPushButton* m_ok;
    KivSourceHighlighter* m_highlighter;
    // Distances of the text to the edges, and of the button to the bottom right corner.
    QMargins m_sourceMargins;
    QPoint m_okFromCorner;
};
