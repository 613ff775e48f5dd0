#include "mainwindow/AdressenOptionsBar.h"

#include "uikit/TSnapLine.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>

namespace {
QLabel* label(const QString& name, const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setBuddy(buddy);
    return l;
}

QComboBox* combo(const QString& name, const QStringList& items, QWidget* parent)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->addItems(items);
    c->setCurrentIndex(0);
    return c;
}

class Content : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(0xf2, 0xf5, 0xfa));
    }
};
} // namespace

AdressenOptionsBar::AdressenOptionsBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Panel_Adressen_Ansicht"));
    setFixedWidth(kWidth);
    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(0);

    auto* content = new Content(this);
    content->setObjectName(QStringLiteral("Panel_Adressen_Ansicht_Inhalt"));
    m_snap = new TSnapLine(QStringLiteral("Optionen"), this, content, this);
    m_snap->setObjectName(QStringLiteral("SnapLine_Adressen_Ansicht"));
    h->addWidget(m_snap);
    h->addWidget(content, 1);

    auto* v = new QVBoxLayout(content);
    v->setContentsMargins(8, 8, 8, 8);
    v->setSpacing(3);
    m_ansicht = combo(QStringLiteral("ComboBox_Adressen_Ansicht"),
                      {QStringLiteral("Alle Adressen zeigen"), QStringLiteral("Nur aktive zeigen"),
                       QStringLiteral("Nur inaktive zeigen")},
                      content);
    m_suche = new QLineEdit(content);
    m_suche->setObjectName(QStringLiteral("Edit_Adressen_Suche"));
    m_suche->setMaxLength(50);
    m_suche->setClearButtonEnabled(true);
    m_spalte = combo(QStringLiteral("ComboBox_Adressen_Spalte"),
                     {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                      QStringLiteral("5"), QStringLiteral("Alle")},
                     content);
    m_sort = combo(QStringLiteral("ComboBox_Sort"),
                   {QStringLiteral("Keine"), QStringLiteral("Zeile 1"), QStringLiteral("Zeile 2"),
                    QStringLiteral("Zeile 3"), QStringLiteral("Zeile 4"), QStringLiteral("Zeile 5"),
                    QStringLiteral("Name")},
                   content);
    m_name = new QCheckBox(QStringLiteral("Name ausblenden"), content);
    m_name->setObjectName(QStringLiteral("CheckBox_SpalteName"));
    m_name->setToolTip(QStringLiteral("Die Spalte \"Name\" wird ausgeblendet"));
    m_name->setChecked(true);

    v->addWidget(label(QStringLiteral("Label_Adressen_Ansicht"), QStringLiteral("Ansicht:"), m_ansicht, content));
    v->addWidget(m_ansicht);
    v->addSpacing(8);
    v->addWidget(label(QStringLiteral("Label_Adressen_Suche"), QStringLiteral("Suche"), m_suche, content));
    v->addWidget(m_suche);
    v->addWidget(label(QStringLiteral("Label_Suche"), QStringLiteral("in Zeile:"), m_spalte, content));
    v->addWidget(m_spalte);
    v->addSpacing(8);
    v->addWidget(label(QStringLiteral("Label_Sort"), QStringLiteral("Sortieren:"), m_sort, content));
    v->addWidget(m_sort);
    v->addSpacing(8);
    v->addWidget(m_name);
    v->addStretch(1);

    connect(m_ansicht, &QComboBox::currentIndexChanged, this, &AdressenOptionsBar::filterChanged);
    connect(m_suche, &QLineEdit::textChanged, this, &AdressenOptionsBar::filterChanged);
    connect(m_spalte, &QComboBox::currentIndexChanged, this, &AdressenOptionsBar::filterChanged);
    connect(m_sort, &QComboBox::currentIndexChanged, this, &AdressenOptionsBar::filterChanged);
    connect(m_name, &QCheckBox::toggled, this, &AdressenOptionsBar::nameHiddenChanged);
}

AdressenFilter AdressenOptionsBar::Filter() const
{
    AdressenFilter f;
    f.ViewMode = m_ansicht->currentIndex();
    f.SearchText = m_suche->text();
    f.SearchLine = m_spalte->currentIndex();
    f.SortIndex = m_sort->currentIndex();
    return f;
}

bool AdressenOptionsBar::NameHidden() const
{
    return m_name->isChecked();
}

void AdressenOptionsBar::SetNameHidden(bool hidden)
{
    m_name->setChecked(hidden);
}

bool AdressenOptionsBar::IsCollapsed() const
{
    return m_snap->isCollapsed();
}

void AdressenOptionsBar::SetCollapsed(bool collapsed)
{
    if (collapsed != m_snap->isCollapsed())
        m_snap->click();
}
