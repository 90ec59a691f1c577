#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Asks for one line of text. "Ok" keeps what was typed and ends with 1; "Cancel" (or Escape, or
// closing the window) ends with 2. Texts are Windows-1252 bytes.
class KivInputDlg final : public QDialog {
    Q_OBJECT
public:
    explicit KivInputDlg(QWidget* owner = nullptr);

    std::string Prompt() const;
    void Prompt(const std::string& prompt);
    // The captions of the two buttons.
    void Ok(const std::string& caption);
    void Cancel(const std::string& caption);

    // The edited value: given before showing, what "Ok" took from the edit after.
    std::string Value() const { return m_value; }
    void Value(const std::string& value) { m_value = value; }

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OkPB();

    std::string m_value;
    QLineEdit* m_edit;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QLabel* m_prompt;
};

// Shows KivInputDlg modally over owner with the caption, prompt, starting value and button
// captions given (an empty button caption keeps "Ok" / "Cancel"), centred on the screen when
// centre is true. Gives the value without leading and trailing blanks after "Ok", otherwise
// defaultValue unchanged.
std::string KivInputBox(const std::string& caption, const std::string& prompt,
                        const std::string& defaultValue = {}, bool centre = true,
                        const std::string& okText = {}, const std::string& cancelText = {},
                        QWidget* owner = nullptr);
