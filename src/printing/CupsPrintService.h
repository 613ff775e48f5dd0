#pragma once
#include "printing/EnvelopePdf.h"
#include "printing/PrinterOptions.h"
#include "printing/PrintService.h"

#include <map>
#include <optional>

// PrintService over CUPS. A job's page is the sheet as it lies in the printer, written as
// PDF at the job resolution, with a landscape envelope already turned onto it; it is handed
// to the queue with the queue's own options and what the user set in the printer's
// properties dialog. The sheet is decided afresh for every job. Each printer keeps its
// device settings (orientation, turn, properties) for the run, also when another was
// selected between. Every call into libcups runs off the calling thread.
class CupsPrintService : public PrintService
{
public:
    CupsPrintService();
    ~CupsPrintService() override = default;

    QStringList Printers() override;
    int PrinterIndex() override;
    void SetPrinterIndex(int index) override;
    int ResolutionX() override;
    int PageWidth() override;
    PageOrientation Orientation() override;
    void SetOrientation(PageOrientation orientation) override;
    void SetLandscapeTurn(LandscapeTurn turn) override;
    void SetTitle(const QString& title) override;
    void BeginDoc() override;
    void EndDoc() override;
    void Abort() override;
    bool Printing() override;
    void DrawImage(const QRect& target, const QImage& image) override;
    void ShowProperties(QWidget* parent, LandscapeTurn& turn, int& dpiFactor) override;
    PrinterSheet Sheet() override;
    PrinterSheet SheetOf(const QByteArray& media) override;
    void PrintDocument(const QString& title, const QByteArray& pdf, const QByteArray& media) override;

    // What the user set in the selected printer's properties dialog.
    PrinterChoices Choices();
    // The id the spooler gave the last job handed over, 0 before the first.
    int LastJobId() const { return m_lastJob; }
    // The sheet the last job was made for.
    const PrinterSheet& LastSheet() const { return m_jobSheet; }
    // Jobs go into this PDF file instead of the queue (empty: into the queue).
    void SetOutputFile(const QString& path) { m_outputFile = path; }

private:
    struct Setup
    {
        PageOrientation orientation = PageOrientation::Portrait;
        LandscapeTurn turn = LandscapeTurn::Left;
        PrinterChoices choices;
    };
    Setup& setup();
    PageTurn pageTurn();
    // A finished document to the printer at index (or into the output file).
    void handOver(int index, const QString& title, const QByteArray& pdf, const QByteArray& media);

    QStringList m_names;
    int m_index = -1;
    std::map<QString, Setup> m_setups;
    QString m_title;
    bool m_open = false;
    int m_jobIndex = -1;
    PrinterSheet m_jobSheet;
    std::vector<PagePicture> m_page;
    int m_lastJob = 0;
    QString m_outputFile;
};
