#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

#include <optional>
#include <string>

class QVariant;

// A control that shows its caption in its own text colour and font, on the surface of the window
// it sits on. Texts are Windows-1252 bytes.
//
// The typed setters cannot be given a wrong type. Values whose type is only known at run time
// (a setting read from a file, a value from a generic property editor) go through Assign, which
// raises KivError "Invalid argument type." for a value of the wrong type and leaves the
// property unchanged.
class KivCustomTextCntrl : public QWidget {
    Q_OBJECT
public:
    explicit KivCustomTextCntrl(QWidget* parent = nullptr);

    std::string Caption() const;
    void Caption(const std::string& caption);
    std::string TextValue() const { return Caption(); }
    void TextValue(const std::string& text) { Caption(text); }

    // Empty until set: the system text colour is used then.
    std::optional<QColor> TextColor() const { return m_textColor; }
    // Repaints the control at once.
    void TextColor(const QColor& color);

    QFont Font() const { return font(); }
    // No font: the stock font of the system.
    void Font(const std::optional<QFont>& font);

    // Assigns a property by name ("Caption", "TextValue", "TextColor", "Font", any case). Text must
    // be a QString or QByteArray (Windows-1252 bytes), a colour a QColor, a font a QFont or an
    // empty QVariant for the stock font.
    virtual void Assign(const std::string& property, const QVariant& value);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    // Raises "Invalid argument type." naming this control's class and the property.
    [[noreturn]] void InvalidArgument(const std::string& property, const QVariant& value,
                                      uint32_t requiredType) const;

    // The caption in its colour and font on the owner's surface.
    void paintEvent(QPaintEvent* event) override;
    void PaintBackground(QPainter& painter);

private:
    QString m_caption;
    std::optional<QColor> m_textColor;
};
