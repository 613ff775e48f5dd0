#pragma once
#include "output/EnvelopePdf.h"
#include "output/PrintService.h"
#include "output/PrinterOptions.h"

#include <map>
#include <optional>

// PrintService over CUPS. A job's page is written as PDF at the job resolution and
// handed to the queue with what the user set in the printer's properties dialog; the
// spooler rasterises it at the device's own resolution. Each printer keeps its device
// settings (orientation, properties) for the run, also when another was selected between.
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
    void SetTitle(const QString& title) override;
    void BeginDoc() override;
    void EndDoc() override;
    void Abort() override;
    bool Printing() override;
    void DrawImage(const QRect& target, const QImage& image) override;
    void ShowProperties(QWidget* parent) override;

    // What the user set in the selected printer's properties dialog.
    PrinterChoices Choices();
    // The id the spooler gave the last job handed over, 0 before the first.
    int LastJobId() const { return m_lastJob; }
    // Jobs go into this PDF file instead of the queue (empty: into the queue).
    void SetOutputFile(const QString& path) { m_outputFile = path; }

private:
    struct Setup
    {
        PageOrientation orientation = PageOrientation::Portrait;
        PrinterChoices choices;
        std::optional<PrinterSheet> sheet;
    };
    Setup& setup();
    const PrinterSheet& sheet();
    // The printable area's top-left corner and the sheet's size in the current orientation.
    QPointF printableOrigin(int dpi);
    QSizeF sheetPoints();

    QStringList m_names;
    int m_index = -1;
    std::map<QString, Setup> m_setups;
    QString m_title;
    bool m_open = false;
    int m_jobIndex = -1;
    std::vector<PagePicture> m_page;
    int m_lastJob = 0;
    QString m_outputFile;
};
