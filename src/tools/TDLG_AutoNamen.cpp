#include "tools/TDLG_AutoNamen.h"

#include "app/AdressenRows.h"
#include "app/AppContext.h"
#include "app/BlankText.h"
#include "app/GeneralError.h"
#include "app/ReverseWords.h"
#include "shell/HelpService.h"
#include "shell/MessageService.h"
#include "store/ESQLiteException.h"
#include "tools/HelpIcon.h"
#include "uikit/TBusyCursor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kLine6Column = 6;
}

TDLG_AutoNamen::TDLG_AutoNamen(AppContext& ctx, AdressenRows* rows, QWidget* parent)
    // No close box and no system menu: only the two buttons or Esc end it.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_ctx(ctx), FStringGrid(rows)
{
    setObjectName(QStringLiteral("DLG_AutoNamen"));
    setWindowTitle(QStringLiteral("Namen automatisch generieren"));

    auto* titel = new QLabel(QStringLiteral("Das Programm kann die Namen für das Sortieren automatisch erstellen. "
                                            "Hierbei werden Vor- und Nachname vertauscht."),
                             this);
    titel->setObjectName(QStringLiteral("Label_Titel"));
    titel->setWordWrap(true);
    auto* label1 =
        new QLabel(QStringLiteral("Bitte wählen Sie die Spalte bzw. Zeile, die die Namen enthält."), this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setWordWrap(true);

    auto* labelLine6 = new QLabel(QStringLiteral("Spalte der Namen:"), this);
    labelLine6->setObjectName(QStringLiteral("Label_Line6"));
    m_spalte = new QComboBox(this);
    m_spalte->setObjectName(QStringLiteral("ComboBox_Spalte"));
    for (int line = 1; line <= 5; ++line)
        m_spalte->addItem(QStringLiteral("Zeile %1").arg(line));
    m_spalte->setCurrentIndex(1);
    labelLine6->setBuddy(m_spalte);

    m_update = new QCheckBox(QStringLiteral("Nur wenn noch kein Name vorhanden ist (Aktualisierung)"), this);
    m_update->setObjectName(QStringLiteral("CheckBox_Update"));
    m_update->setToolTip(QStringLiteral("Namen nach Aufnahme neuer Adressen aktualisieren"));

    auto* help = new QPushButton(this);
    help->setObjectName(QStringLiteral("Button_Help"));
    help->setIcon(HelpIcon());
    help->setAccessibleName(QStringLiteral("Hilfe"));
    help->setToolTip(QStringLiteral("Hilfe"));
    help->setAutoDefault(false);
    m_start = new QPushButton(QStringLiteral("&Starten"), this);
    m_start->setObjectName(QStringLiteral("Button_Start"));
    m_start->setDefault(true);
    m_start->setEnabled(FStringGrid != nullptr);
    m_cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    m_cancel->setObjectName(QStringLiteral("Button_Cancel"));
    m_cancel->setAutoDefault(false);

    auto* spalteRow = new QHBoxLayout;
    spalteRow->addWidget(labelLine6);
    spalteRow->addWidget(m_spalte, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch();
    buttons->addWidget(m_start);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(titel);
    layout->addSpacing(6);
    layout->addWidget(label1);
    layout->addLayout(spalteRow);
    layout->addWidget(m_update);
    layout->addSpacing(10);
    layout->addLayout(buttons);
    setFixedWidth(440);

    connect(help, &QPushButton::clicked, this, [this] {
        if (m_ctx.Help)
            m_ctx.Help->ShowHelpTopic(HelpContext::Adresse);
    });
    // An error outside the update (the table's check under another program's lock) goes to
    // the general error handler instead of through Qt's event handling.
    connect(m_start, &QPushButton::clicked, this, [this] { RunGuarded(m_ctx.Messages, [this] { Button_StartClick(); }); });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TDLG_AutoNamen::Button_StartClick()
{
    if (!FStringGrid)
        return;
    if (m_ctx.Database && m_ctx.db().TableExists(QStringLiteral("tab_adressen"))) {
        QString error;
        m_start->setEnabled(false);
        m_cancel->setEnabled(false);
        {
            TBusyCursor busy;
            try {
                m_ctx.db().BeginTransaction();
                generate();
            } catch (const ESQLiteException& e) {
                error = e.message();
            }
            // What was written before an error is kept: commit in every case.
            try {
                if (m_ctx.db().InTransaction())
                    m_ctx.db().Commit();
            } catch (const ESQLiteException& e) {
                if (error.isEmpty())
                    error = e.message();
            }
        }
        m_start->setEnabled(true);
        m_cancel->setEnabled(true);
        if (!error.isEmpty()) {
            m_ctx.Messages->ErrorMessage(error);
            return;
        }
    }
    accept();
}

void TDLG_AutoNamen::generate()
{
    const int column = m_spalte->currentIndex() + 1;
    const bool onlyMissing = m_update->isChecked();
    for (int row = 0; row < FStringGrid->RowCount(); ++row) {
        const std::optional<TAdresseData> data = FStringGrid->Data(row);
        if (!data || data->Adresse_ID.isEmpty())
            continue;
        if (onlyMissing && !IsBlank(FStringGrid->Cell(row, kLine6Column)))
            continue;
        const QString name = ReverseWords(FStringGrid->Cell(row, column));
        m_ctx.db().ExecSQL(QStringLiteral("UPDATE tab_adressen SET Line6=? WHERE Adresse_ID=?"),
                           {name, data->Adresse_ID});
        // The list shows a name only once the database holds it.
        FStringGrid->SetCell(row, kLine6Column, name);
    }
}

void RunAutoNamen(AppContext& ctx, AdressenRows* rows, QWidget* parent)
{
    TDLG_AutoNamen dialog(ctx, rows, parent);
    dialog.exec();
}
