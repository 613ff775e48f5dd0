#pragma once
#include <QRect>
#include <QString>
#include <QWidget>

#include <utility>

// A control of a fixed-layout window: made on its parent, named (tests and the
// accessibility tree find it by that name) and put at its place.
template <class Widget, class... Args>
Widget* Placed(QWidget* parent, const char* name, const QRect& geometry, Args&&... args)
{
    auto* widget = new Widget(std::forward<Args>(args)..., parent);
    if (name)
        widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}
