#pragma once

#include <QString>

#include <utility>

// A new control that carries its name as its objectName, so tests and the window find it by that name.
template <typename Widget, typename... Args> Widget *named(const QString &name, Args &&...args)
{
    auto *widget = new Widget(std::forward<Args>(args)...);
    widget->setObjectName(name);
    return widget;
}
