#pragma once

#include <QLatin1String>

// A widget of a dialog with its objectName, the name the window's code and the tests find it by.
template <class T> T* KivNamed(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}
