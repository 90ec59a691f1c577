#include "explorer/KivCustomControl.h"

#include <QPainter>

KivCustomControl::KivCustomControl(QWidget* parent) : QWidget(parent) {}

void KivCustomControl::Background(const QBrush& brush) {
    m_background = brush;
    update();
}

void KivCustomControl::Repaint(bool erase) {
    m_eraseNext = m_eraseNext || erase;
    update();
}

void KivCustomControl::Expose() {
    repaint();
}

void KivCustomControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (NeedClear || m_eraseNext)
        Clear(painter);
    m_eraseNext = false;
    OnPaint(painter);
}

void KivCustomControl::Clear(QPainter& painter) {
    painter.fillRect(rect(), m_background ? *m_background : palette().brush(QPalette::Midlight));
}

void KivCustomControl::OnPaint(QPainter&) {}

void KivCustomControl::DrawBox(QPainter& painter, const QRect& box) const {
    painter.save();
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.restore();
}

void KivCustomControl::Draw3DBox(QPainter& painter, const QRect& box) const {
    Draw3D(painter, box, true);
}

void KivCustomControl::Draw3DBoxRaised(QPainter& painter, const QRect& box) const {
    Draw3D(painter, box, false);
}

void KivCustomControl::Draw3D(QPainter& painter, const QRect& box, bool sunken) const {
    if (box.width() < 2 || box.height() < 2)
        return;
    painter.save();
    painter.fillRect(box, palette().brush(QPalette::Button));
    const QColor dark = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    const QPoint topLeft = box.topLeft(), topRight = box.topRight();
    const QPoint bottomLeft = box.bottomLeft(), bottomRight = box.bottomRight();
    painter.setPen(sunken ? dark : light);
    painter.drawLine(topLeft, topRight);
    painter.drawLine(topLeft, bottomLeft);
    painter.setPen(sunken ? light : dark);
    painter.drawLine(bottomLeft, bottomRight);
    painter.drawLine(topRight, bottomRight);
    painter.restore();
}
