#include "printing/CupsPrintService.h"

#include "envelope/PrintError.h"
#include "printing/CupsDestination.h"
#include "printing/TDLG_Druckereigenschaften.h"
#include "shell/FileWrite.h"

#include <cmath>

CupsPrintService::CupsPrintService()
{
    int def = -1;
    try {
        m_names = CupsDestination::Names(&def);
    } catch (const PrintError&) {
        // A scheduler that does not answer leaves the program without printers, not
        // without a window.
    }
    m_index = def >= 0 ? def : (m_names.isEmpty() ? -1 : 0);
}

QStringList CupsPrintService::Printers()
{
    return m_names;
}

int CupsPrintService::PrinterIndex()
{
    return m_index;
}

void CupsPrintService::SetPrinterIndex(int index)
{
    if (index < 0) {
        // The system's default as it is now, found by name in the list the program shows:
        // queues added or deleted since then move the positions.
        int def = -1;
        const QStringList now = CupsDestination::Names(&def);
        index = def >= 0 ? int(m_names.indexOf(now[def])) : -1;
        if (index < 0 && !m_names.isEmpty())
            index = 0;
    }
    if (index >= m_names.size())
        throw PrintError(QStringLiteral("Der Drucker mit der Nummer %1 ist nicht vorhanden.").arg(index));
    m_index = index;
}

CupsPrintService::Setup& CupsPrintService::setup()
{
    if (m_index < 0 || m_index >= m_names.size())
        throw PrintError(QStringLiteral("Es ist kein Drucker ausgewählt."));
    return m_setups[m_names[m_index]];
}

PrinterChoices CupsPrintService::Choices()
{
    return setup().choices;
}

int CupsPrintService::ResolutionX()
{
    const PrinterChoices& choices = setup().choices;
    const auto it = choices.find("printer-resolution");
    const int chosen = it == choices.end() ? 0 : ResolutionOfChoice(it->second);
    return chosen > 0 ? chosen : kDefaultJobResolution;
}

int CupsPrintService::PageWidth()
{
    // Outside a job the sheet is looked up as the next job will find it.
    const PrinterSheet sheet = m_open ? m_jobSheet : Sheet();
    return SheetLayout::PrintableWidth(sheet, pageTurn(), ResolutionX());
}

PrinterSheet CupsPrintService::Sheet()
{
    const PrinterChoices& choices = setup().choices;  // throws without a printer
    return CupsDestination(m_names[m_index]).Sheet(choices);
}

PrinterSheet CupsPrintService::SheetOf(const QByteArray& media)
{
    PrinterChoices choices = setup().choices;
    choices["media"] = media;
    return CupsDestination(m_names[m_index]).Sheet(choices);
}

void CupsPrintService::PrintDocument(const QString& title, const QByteArray& pdf, const QByteArray& media)
{
    setup();  // throws without a printer
    handOver(m_index, title, pdf, media);
}

PageTurn CupsPrintService::pageTurn()
{
    return PageTurnFor(Orientation(), setup().turn);
}

PageOrientation CupsPrintService::Orientation()
{
    return setup().orientation;
}

void CupsPrintService::SetOrientation(PageOrientation orientation)
{
    setup().orientation = orientation;
}

void CupsPrintService::SetLandscapeTurn(LandscapeTurn turn)
{
    setup().turn = turn;
}

void CupsPrintService::SetTitle(const QString& title)
{
    m_title = title;
}

void CupsPrintService::BeginDoc()
{
    // One decision for the page and the paper the job names, made afresh for every job:
    // the queue's default paper may have changed since the last one.
    m_jobSheet = Sheet();
    m_page.clear();
    m_jobIndex = m_index;
    m_open = true;
}

void CupsPrintService::EndDoc()
{
    if (!m_open)
        return;
    m_open = false;
    std::vector<PagePicture> page;
    page.swap(m_page);
    const int dpi = ResolutionX();
    const QPointF origin = SheetLayout::PrintableOrigin(m_jobSheet, pageTurn(), dpi);
    for (PagePicture& p : page)
        p.target.translate(int(std::lround(origin.x())), int(std::lround(origin.y())));
    const QByteArray pdf = EnvelopePagePdf(m_jobSheet.size * (72.0 / kSheetUnitsPerInch), dpi, page, pageTurn());
    handOver(m_jobIndex, m_title, pdf, m_jobSheet.media);
}

void CupsPrintService::handOver(int index, const QString& title, const QByteArray& pdf, const QByteArray& media)
{
    if (!m_outputFile.isEmpty()) {
        QString reason;
        if (!ReplaceFileWhole(m_outputFile, pdf, &reason))
            throw PrintError(QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden: %2").arg(m_outputFile, reason));
        return;
    }
    const QString& queue = m_names[index];
    m_lastJob = CupsDestination(queue).Submit(title, pdf, m_setups[queue].choices, media);
}

void CupsPrintService::Abort()
{
    m_open = false;
    m_page.clear();
}

bool CupsPrintService::Printing()
{
    return m_open;
}

void CupsPrintService::DrawImage(const QRect& target, const QImage& image)
{
    if (!m_open)
        throw PrintError(QStringLiteral("Es ist kein Druckauftrag geöffnet."));
    m_page.push_back({target, image});
}

void CupsPrintService::ShowProperties(QWidget* parent, LandscapeTurn& turn, int& dpiFactor)
{
    Setup& s = setup();
    const CupsDestination dest(m_names[m_index]);
    TDLG_Druckereigenschaften dialog(m_names[m_index], dest.Options(s.choices), turn, parent);
    dialog.ShowFactorHint(dpiFactor);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (dialog.TakenDpiFactor() > 0)
        dpiFactor = dialog.TakenDpiFactor();
    s.choices = dialog.Choices();
    turn = dialog.Turn();
    s.turn = turn;
}
