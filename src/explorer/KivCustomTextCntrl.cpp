#include "explorer/KivCustomTextCntrl.h"

#include "explorer/KivAnsi.h"
#include "support/KivError.h"
#include "support/KivStringUtil.h"

#include <QPainter>
#include <QVariant>

namespace {

uint32_t RuntimeType(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return KivType::Nil;
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return KivType::String;
    case QMetaType::Bool:
        return KivType::Logic;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return KivType::Long;
    case QMetaType::Double:
    case QMetaType::Float:
        return KivType::Float;
    case QMetaType::QDate:
        return KivType::Date;
    default:
        return KivType::Object;
    }
}

std::optional<std::string> TextOf(const QVariant& value) {
    if (value.typeId() == QMetaType::QString)
        return KivToAnsi(value.toString());
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray().toStdString();
    return std::nullopt;
}

} // namespace

KivCustomTextCntrl::KivCustomTextCntrl(QWidget* parent) : QWidget(parent) {}

std::string KivCustomTextCntrl::Caption() const {
    return KivToAnsi(m_caption);
}

void KivCustomTextCntrl::Caption(const std::string& caption) {
    m_caption = KivFromAnsi(caption);
    setAccessibleName(m_caption);
    updateGeometry();
    update();
}

void KivCustomTextCntrl::TextColor(const QColor& color) {
    m_textColor = color;
    repaint();
}

void KivCustomTextCntrl::Font(const std::optional<QFont>& font) {
    setFont(font ? *font : QFont());
    updateGeometry();
    update();
}

void KivCustomTextCntrl::Assign(const std::string& property, const QVariant& value) {
    const std::string name = KivUpper(property);
    if (name == "CAPTION" || name == "TEXTVALUE") {
        auto text = TextOf(value);
        if (!text)
            InvalidArgument(property, value, KivType::String);
        Caption(*text);
    } else if (name == "TEXTCOLOR") {
        if (value.typeId() != QMetaType::QColor)
            InvalidArgument(property, value, KivType::Object);
        TextColor(value.value<QColor>());
    } else if (name == "FONT") {
        if (!value.isValid())
            Font(std::nullopt);
        else if (value.typeId() == QMetaType::QFont)
            Font(value.value<QFont>());
        else
            InvalidArgument(property, value, KivType::Object);
    } else {
        KivErrorObject error;
        error.SubSystem = "KIV";
        error.GenCode = KivGen::NoVar;
        error.FuncSym = KivUpper(metaObject()->className());
        error.Arg = property;
        error.Description = "No exported variable";
        throw KivError(error);
    }
}

void KivCustomTextCntrl::InvalidArgument(const std::string& property, const QVariant& value,
                                         uint32_t requiredType) const {
    KivErrorObject error;
    error.SubSystem = "KIV";
    error.GenCode = KivGen::Arg;
    error.FuncSym = KivUpper(metaObject()->className()) + ":" + KivUpper(property);
    error.ArgNum = 1;
    error.Arg = property;
    error.ArgType = RuntimeType(value);
    error.ArgTypeReq = requiredType;
    error.Description = "Invalid argument type.";
    throw KivError(error);
}

QSize KivCustomTextCntrl::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(m_caption) + 2, metrics.height() + 2};
}

void KivCustomTextCntrl::PaintBackground(QPainter& painter) {
    // The owner's surface, aligned to where the control sits on it, so patterns line up.
    QWidget* owner = parentWidget();
    const QPalette& source = owner ? owner->palette() : palette();
    const QBrush brush = source.brush(owner ? owner->backgroundRole() : backgroundRole());
    painter.setBrushOrigin(-pos());
    painter.fillRect(rect(), brush);
}

void KivCustomTextCntrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintBackground(painter);
    painter.setFont(font());
    painter.setPen(m_textColor ? *m_textColor : palette().color(QPalette::WindowText));
    painter.drawText(rect().adjusted(1, 0, -1, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     m_caption);
}
