#include "support/FakePrintService.h"

#include "envelope/PrintError.h"

void FakePrintService::requirePrinter() const
{
    if (printers.isEmpty() || m_index < 0 || m_index >= printers.size())
        throw PrintError(QStringLiteral("Es ist kein Drucker ausgewählt."));
}

void FakePrintService::SetPrinterIndex(int index)
{
    selections.append(index);
    if (index < 0)
        index = printers.isEmpty() ? -1 : defaultPrinter;
    if (index >= printers.size())
        throw PrintError(QStringLiteral("Der Drucker mit der Nummer %1 ist nicht vorhanden.").arg(index));
    m_index = index;
}

int FakePrintService::ResolutionX()
{
    requirePrinter();
    return resolution;
}

int FakePrintService::PageWidth()
{
    requirePrinter();
    return currentOrientation() == PageOrientation::Landscape ? pageWidthLandscape : pageWidthPortrait;
}

PageOrientation FakePrintService::Orientation()
{
    requirePrinter();
    return currentOrientation();
}

void FakePrintService::SetOrientation(PageOrientation orientation)
{
    requirePrinter();
    setCurrentOrientation(orientation);
}

void FakePrintService::SetLandscapeTurn(LandscapeTurn turn)
{
    requirePrinter();
    m_turns[m_index] = turn;
}

void FakePrintService::BeginDoc()
{
    requirePrinter();
    if (failOnBegin)
        throw PrintError(QStringLiteral("Der Druckauftrag konnte nicht gestartet werden."));
    Job job;
    job.title = m_title;
    job.printerIndex = m_index;
    job.orientation = currentOrientation();
    job.turn = m_turns.value(m_index, LandscapeTurn::Left);
    jobs.append(job);
    m_open = true;
}

void FakePrintService::EndDoc()
{
    if (!m_open)
        return;
    m_open = false;
    if (failOnEnd)
        throw PrintError(QStringLiteral("Der Druckauftrag konnte nicht abgeschlossen werden."));
    jobs.last().ended = true;
}

void FakePrintService::Abort()
{
    if (!m_open)
        return;
    m_open = false;
    jobs.last().aborted = true;
}

void FakePrintService::DrawImage(const QRect& target, const QImage& image)
{
    if (!m_open)
        throw PrintError(QStringLiteral("Es ist kein Druckauftrag geöffnet."));
    if (failOnDraw)
        throw PrintError(QStringLiteral("Das Bild konnte nicht gedruckt werden."));
    jobs.last().targets.append(target);
    jobs.last().images.append(image);
}

void FakePrintService::ShowProperties(QWidget* parent, LandscapeTurn& turn, int& dpiFactor)
{
    requirePrinter();
    propertiesShownFor.append(m_index);
    propertiesFactorShown.append(dpiFactor);
    if (showProperties)
        showProperties(parent);
    if (propertiesTurn)
        turn = *propertiesTurn;
    if (propertiesDpiFactor)
        dpiFactor = *propertiesDpiFactor;
}
