#include "exchange/ExchangeProgressWindow.h"

#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>

namespace {
constexpr int kSteps = 1000;
constexpr int kUpdateMs = 50; // the window is repainted this often, not for every row

QString adressen(int n) { return n == 1 ? QStringLiteral("1 Adresse") : QStringLiteral("%1 Adressen").arg(n); }
} // namespace

ExchangeProgressWindow::ExchangeProgressWindow(QWidget* parent, const QString& title)
    : ExchangeProgressWindow(parent, title, -1)
{
}

ExchangeProgressWindow::ExchangeProgressWindow(QWidget* parent, const QString& title, int total)
    : m_dialog(std::make_unique<QProgressDialog>(parent)), m_total(total)
{
    const bool writing = total >= 0;
    m_dialog->setObjectName(writing ? QStringLiteral("Form_ExportProgress") : QStringLiteral("Form_ImportProgress"));
    m_dialog->setWindowTitle(title);
    m_dialog->setWindowModality(Qt::ApplicationModal);
    m_dialog->setLabelText(writing ? QStringLiteral("Adressen werden geschrieben...")
                                   : QStringLiteral("Adressen werden gelesen..."));
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), m_dialog.get());
    cancel->setObjectName(QStringLiteral("Button_Abbrechen"));
    m_dialog->setCancelButton(cancel);
    m_dialog->setRange(0, kSteps);
    m_dialog->setMinimumDuration(400);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumWidth(380);
    m_dialog->setValue(0);
}

ExchangeProgressWindow::~ExchangeProgressWindow() = default;

QString ExchangeProgressWindow::countText(int records) const
{
    if (m_total < 0)
        return adressen(records) + QStringLiteral(" gelesen...");
    return QStringLiteral("%1 von %2 geschrieben...").arg(records).arg(adressen(m_total));
}

bool ExchangeProgressWindow::Step(int records, double fraction)
{
    // The first row and the last of an export are always shown: a click waiting from
    // before the work began is taken at once, and the count ends at the total.
    if (!m_sinceUpdate.isValid() || m_sinceUpdate.elapsed() >= kUpdateMs || (m_total >= 0 && records >= m_total)) {
        m_sinceUpdate.start();
        m_dialog->setLabelText(countText(records));
        // setValue lets the window paint and take the click on "Abbrechen".
        m_dialog->setValue(std::clamp(int(fraction * kSteps), 0, kSteps - 1));
        QApplication::processEvents();
    }
    return !m_dialog->wasCanceled();
}

void ExchangeProgressWindow::Done()
{
    // reset() also stops the timer that would show the window after its delay.
    m_dialog->reset();
    m_dialog->hide();
}
