#pragma once

#include "explorer/KivCustomTextCntrl.h"

// A text that looks and acts like a link: underlined, pure blue, the hand pointer over it. A click
// (left button released over it) opens Action through the desktop; without an Action, a method of
// the owner named like the control (its objectName, any case, no arguments) is called instead;
// failing that, the caption itself is opened.
class KivHyperLink : public KivCustomTextCntrl {
    Q_OBJECT
public:
    explicit KivHyperLink(QWidget* parent = nullptr);

    std::string Action() const { return m_action; }
    void Action(const std::string& action) { m_action = action; }

    // Also takes "Action" (text only).
    void Assign(const std::string& property, const QVariant& value) override;

    // What a click does.
    void Follow();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::string m_action;
};
