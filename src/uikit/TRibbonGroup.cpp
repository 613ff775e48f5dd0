#include "uikit/TRibbonGroup.h"

#include "uikit/TToolButton.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

TRibbonGroup::TRibbonGroup(const QString& title, QWidget* parent) : QWidget(parent)
{
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(3, 2, 5, 1);
    v->setSpacing(0);
    m_row = new QHBoxLayout;
    m_row->setContentsMargins(0, 0, 0, 0);
    m_row->setSpacing(1);
    v->addLayout(m_row);
    v->addStretch(1);
    m_title = new QLabel(title, this);
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setTextFormat(Qt::PlainText);
    QPalette pal = m_title->palette();
    pal.setColor(QPalette::WindowText, QColor(0x3e, 0x5a, 0x80));
    m_title->setPalette(pal);
    v->addWidget(m_title);
    setAccessibleName(title);
}

QString TRibbonGroup::title() const
{
    return m_title->text();
}

TToolButton* TRibbonGroup::addButton(TToolButton* button)
{
    button->setParent(this);
    m_row->addWidget(button, 0, Qt::AlignTop);
    return button;
}

QWidget* TRibbonGroup::addDivider()
{
    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Divider"));
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedWidth(6);
    m_row->addWidget(line);
    return line;
}

void TRibbonGroup::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(QColor(0xb6, 0xc7, 0xde));
    p.drawLine(width() - 2, 4, width() - 2, height() - 4);
    p.setPen(QColor(0xff, 0xff, 0xff, 0xc0));
    p.drawLine(width() - 1, 4, width() - 1, height() - 4);
}
