#include "explorer/KivHyperLink.h"

#include "explorer/KivAnsi.h"
#include "explorer/KivUrlOpener.h"
#include "support/KivError.h"
#include "support/KivStringUtil.h"

#include <QMetaMethod>
#include <QMouseEvent>
#include <QVariant>

namespace {

// The nearest window up the parent chain that has a method of that name taking no arguments.
std::pair<QObject*, QByteArray> OwnerMethod(QWidget* link, const QString& name) {
    if (name.isEmpty())
        return {};
    for (QWidget* owner = link->parentWidget(); owner; owner = owner->parentWidget()) {
        const QMetaObject* meta = owner->metaObject();
        for (int i = 0; i < meta->methodCount(); ++i) {
            QMetaMethod method = meta->method(i);
            if (method.parameterCount() == 0 && method.methodType() != QMetaMethod::Signal &&
                QString::fromLatin1(method.name()).compare(name, Qt::CaseInsensitive) == 0)
                return {owner, method.name()};
        }
        if (owner->isWindow())
            break;
    }
    return {};
}

} // namespace

KivHyperLink::KivHyperLink(QWidget* parent) : KivCustomTextCntrl(parent) {
    QFont underlined = font();
    underlined.setUnderline(true);
    Font(underlined);
    TextColor(QColor(0, 0, 255));
    setCursor(Qt::PointingHandCursor);
}

void KivHyperLink::Assign(const std::string& property, const QVariant& value) {
    if (KivUpper(property) != "ACTION") {
        KivCustomTextCntrl::Assign(property, value);
        return;
    }
    if (value.typeId() == QMetaType::QString)
        Action(KivToAnsi(value.toString()));
    else if (value.typeId() == QMetaType::QByteArray)
        Action(value.toByteArray().toStdString());
    else
        InvalidArgument(property, value, KivType::String);
}

void KivHyperLink::Follow() {
    if (!m_action.empty()) {
        KivOpenUrl(m_action);
        return;
    }
    auto [owner, method] = OwnerMethod(this, objectName());
    if (owner) {
        QMetaObject::invokeMethod(owner, method.constData(), Qt::DirectConnection);
        return;
    }
    KivOpenUrl(Caption());
}

void KivHyperLink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        event->accept();
        Follow();
        return;
    }
    KivCustomTextCntrl::mouseReleaseEvent(event);
}
