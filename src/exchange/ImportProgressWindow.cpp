#include "exchange/ImportProgressWindow.h"

#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>

namespace {
constexpr int kSteps = 1000;
constexpr int kUpdateMs = 50; // the window is repainted this often, not for every row
} // namespace

ImportProgressWindow::ImportProgressWindow(QWidget* parent, const QString& title)
    : m_dialog(std::make_unique<QProgressDialog>(parent))
{
    m_dialog->setObjectName(QStringLiteral("Form_ImportProgress"));
    m_dialog->setWindowTitle(title);
    m_dialog->setWindowModality(Qt::ApplicationModal);
    m_dialog->setLabelText(QStringLiteral("Adressen werden gelesen..."));
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), m_dialog.get());
    cancel->setObjectName(QStringLiteral("Button_Abbrechen"));
    m_dialog->setCancelButton(cancel);
    m_dialog->setRange(0, kSteps);
    m_dialog->setMinimumDuration(400);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumWidth(380);
    m_dialog->setValue(0);
    m_sinceUpdate.start();
}

ImportProgressWindow::~ImportProgressWindow() = default;

bool ImportProgressWindow::Step(int records, double fraction)
{
    if (m_sinceUpdate.elapsed() >= kUpdateMs) {
        m_sinceUpdate.restart();
        m_dialog->setLabelText(records == 1 ? QStringLiteral("1 Adresse gelesen...")
                                            : QStringLiteral("%1 Adressen gelesen...").arg(records));
        // setValue lets the window paint and take the click on "Abbrechen".
        m_dialog->setValue(std::clamp(int(fraction * kSteps), 0, kSteps - 1));
        QApplication::processEvents();
    }
    return !m_dialog->wasCanceled();
}

void ImportProgressWindow::Done()
{
    // reset() also stops the timer that would show the window after its delay.
    m_dialog->reset();
    m_dialog->hide();
}
