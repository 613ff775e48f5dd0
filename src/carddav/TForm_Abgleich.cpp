#include "carddav/TForm_Abgleich.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TForm_Abgleich::TForm_Abgleich(const QString& bookName, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form_Abgleich"));
    setWindowTitle(QStringLiteral("Online-Adressbuch „%1“").arg(bookName));
    setModal(true);
    setMinimumWidth(420);
    auto* root = new QVBoxLayout(this);
    m_status = new QLabel(QStringLiteral("Verbindung zum Server wird hergestellt …"), this);
    m_status->setObjectName(QStringLiteral("Label_Status"));
    root->addWidget(m_status);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("Progress_Scale"));
    m_bar->setRange(0, 0);
    root->addWidget(m_bar);
    m_cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    m_cancel->setObjectName(QStringLiteral("Button_Abbrechen"));
    root->addWidget(m_cancel, 0, Qt::AlignRight);
    connect(m_cancel, &QPushButton::clicked, this, &TForm_Abgleich::CancelRequested);
}

void TForm_Abgleich::SetStatus(int done, int total)
{
    if (total < 0) {
        // The whole book in one answer: how many cards it holds is known only at its end,
        // so the bar only says that something happens and the text counts.
        m_status->setText(done == 0   ? QStringLiteral("Die Karten werden geladen …")
                          : done == 1 ? QStringLiteral("1 Karte geladen …")
                                      : QStringLiteral("%1 Karten geladen …").arg(done));
        m_bar->setRange(0, 0);
        return;
    }
    m_status->setText(total == 0 ? QStringLiteral("Keine geänderten Karten.")
                                 : QStringLiteral("Karte %1 von %2 geladen …").arg(done).arg(total));
    m_bar->setRange(0, qMax(total, 1));
    m_bar->setValue(done);
}
