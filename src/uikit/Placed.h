#pragma once
#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <QSize>
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

// The look of the fixed-layout windows: their size, a plain background and Arial at a
// pixel size. Returns that font for the controls that grow from it.
inline QFont StyleFixedWindow(QWidget* window, const QSize& size, const QColor& background, int fontPixels)
{
    window->setFixedSize(size);
    window->setAutoFillBackground(true);
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, background);
    window->setPalette(pal);
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(fontPixels);
    window->setFont(arial);
    return arial;
}
