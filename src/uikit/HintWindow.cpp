#include "uikit/HintWindow.h"

#include <QApplication>
#include <QPalette>
#include <QToolTip>

void InstallHintWindow()
{
    QPalette pal = QToolTip::palette();
    pal.setColor(QPalette::ToolTipBase, QColor(0xff, 0xfb, 0xe6));
    pal.setColor(QPalette::ToolTipText, QColor(0x1e, 0x26, 0x33));
    pal.setColor(QPalette::Window, QColor(0xff, 0xfb, 0xe6));
    pal.setColor(QPalette::WindowText, QColor(0x1e, 0x26, 0x33));
    QToolTip::setPalette(pal);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    QToolTip::setFont(font);
}
