#include "printing/TDLG_Druckereigenschaften.h"

#include "printing/ResolutionHint.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The resolution the picture is made at for the box's choice: the program's own when the
// printer's default is left.
int chosenResolution(const QComboBox* box)
{
    const int dpi = ResolutionOfChoice(box->currentData().toByteArray());
    return dpi > 0 ? dpi : kDefaultJobResolution;
}

} // namespace

TDLG_Druckereigenschaften::TDLG_Druckereigenschaften(const QString& printerName, const QList<PrinterOption>& options,
                                                     LandscapeTurn turn, QWidget* parent)
    : QDialog(parent), m_options(options)
{
    setObjectName(QStringLiteral("TDLG_Druckereigenschaften"));
    setWindowTitle(QStringLiteral("Druckereigenschaften"));
    auto* layout = new QVBoxLayout(this);

    auto* title = new QLabel(QStringLiteral("<b>Drucker:</b> %1").arg(printerName.toHtmlEscaped()), this);
    title->setObjectName(QStringLiteral("Label_Printer_Name"));
    layout->addWidget(title);

    auto* form = new QFormLayout;
    for (const PrinterOption& option : m_options) {
        auto* box = new QComboBox(this);
        box->setObjectName(QStringLiteral("ComboBox_") + QString::fromLatin1(option.name));
        box->setAccessibleName(option.label);
        for (const PrinterChoice& choice : option.choices)
            box->addItem(choice.label, choice.value);
        // A queue that names no current value keeps its own setting until the user picks
        // one: OK must not send the first value of the list (manual feed, draft...).
        int current = box->findData(option.current);
        if (current < 0) {
            box->insertItem(0, QStringLiteral("Standard des Druckers"), QByteArray());
            current = 0;
        }
        box->setCurrentIndex(current);
        m_shown.append(current);
        // An option with one value only is shown, not offered.
        box->setEnabled(box->count() > 1);
        form->addRow(option.label, box);
        m_boxes.append(box);
        if (option.name == "printer-resolution") {
            // Beside the resolution: what it does to the text's size (once a factor is given).
            m_resolution = box;
            auto* hintRow = new QWidget(this);
            auto* hintLayout = new QVBoxLayout(hintRow);
            hintLayout->setContentsMargins(0, 0, 0, 0);
            m_hint = new QLabel(hintRow);
            m_hint->setObjectName(QStringLiteral("Label_ResolutionHint"));
            m_hint->setWordWrap(true);
            m_hint->setTextFormat(Qt::PlainText);
            hintLayout->addWidget(m_hint);
            m_takeFactor = new QPushButton(hintRow);
            m_takeFactor->setObjectName(QStringLiteral("Button_TakeDpiFactor"));
            m_takeFactor->setAutoDefault(false);
            hintLayout->addWidget(m_takeFactor, 0, Qt::AlignLeft);
            form->addRow(QString(), hintRow);
            hintRow->hide();
            connect(box, &QComboBox::currentIndexChanged, this, [this] { updateFactorHint(); });
            connect(m_takeFactor, &QPushButton::clicked, this, [this] {
                m_taken = FactorKeepingSize(chosenResolution(m_resolution));
                updateFactorHint();
            });
        }
    }
    // Envelope feeders differ: the program turns a landscape envelope onto the sheet itself,
    // in the direction this printer needs.
    m_turn = new QComboBox(this);
    m_turn->setObjectName(QStringLiteral("ComboBox_Querformat"));
    m_turn->setAccessibleName(QStringLiteral("Querformat drehen:"));
    m_turn->addItem(QStringLiteral("nach links (Standard)"), int(LandscapeTurn::Left));
    m_turn->addItem(QStringLiteral("nach rechts"), int(LandscapeTurn::Right));
    m_turn->setCurrentIndex(turn == LandscapeTurn::Right ? 1 : 0);
    form->addRow(QStringLiteral("&Querformat drehen:"), m_turn);
    layout->addLayout(form);
    if (m_options.isEmpty()) {
        auto* none = new QLabel(QStringLiteral("Dieser Drucker bietet keine Eigenschaften zum Einstellen an."), this);
        none->setObjectName(QStringLiteral("Label_NoOptions"));
        layout->addWidget(none);
    }

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("Button_OK"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Button_Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(380);
}

PrinterChoices TDLG_Druckereigenschaften::Choices() const
{
    PrinterChoices choices;
    // A default left as it was is no choice: the queue's (or the instance's) default, read
    // afresh for every job, stays in charge, also when it changes later.
    for (int i = 0; i < m_options.size(); ++i)
        choices[m_options[i].name] = m_options[i].chosen || m_boxes[i]->currentIndex() != m_shown[i]
                                         ? m_boxes[i]->currentData().toByteArray()
                                         : QByteArray();
    return choices;
}

LandscapeTurn TDLG_Druckereigenschaften::Turn() const
{
    return m_turn->currentData().toInt() == int(LandscapeTurn::Right) ? LandscapeTurn::Right : LandscapeTurn::Left;
}

void TDLG_Druckereigenschaften::ShowFactorHint(int dpiFactor)
{
    m_factor = dpiFactor;
    updateFactorHint();
}

void TDLG_Druckereigenschaften::updateFactorHint()
{
    if (!m_resolution || m_factor <= 0)
        return;
    const int dpi = chosenResolution(m_resolution);
    const int factor = m_taken > 0 ? m_taken : m_factor;
    QString text = ResolutionHintText(dpi, factor);
    const int keep = FactorKeepingSize(dpi);
    if (m_taken > 0)
        text += QStringLiteral("\nDer Umrechnungsfaktor %1 wird mit „OK“ in die Einstellungen übernommen.").arg(m_taken);
    m_hint->setText(text);
    m_takeFactor->setText(QStringLiteral("Umrechnungsfaktor %1 übernehmen").arg(keep));
    m_takeFactor->setVisible(keep != factor);
    m_hint->parentWidget()->setVisible(!text.isEmpty());
    adjustSize();
}
