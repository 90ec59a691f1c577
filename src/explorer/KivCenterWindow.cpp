#include "explorer/KivCenterWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void KivCenterWindow(QWidget* window) {
    if (!window)
        return;
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect desktop = screen->geometry();
    const QSize size = window->isWindow() ? window->frameGeometry().size() : window->size();
    const int right = desktop.x() + desktop.width();
    const int bottom = desktop.y() + desktop.height();
    window->move(right / 2 - size.width() / 2, bottom / 2 - size.height() / 2);
    window->update();
}
