#pragma once
#include "envelope/PrintError.h"
#include "printing/PrintService.h"

#include <QImage>
#include <QList>
#include <QMap>
#include <QRect>
#include <QStringList>
#include <functional>
#include <optional>

// A printing service in memory: a scriptable printer list, resolution and page widths,
// failures on demand, and a record of every job and every properties dialog. Like the
// real one it keeps each printer's device settings (the orientation) for the run.
class FakePrintService : public PrintService
{
public:
    struct Job
    {
        QString title;
        int printerIndex = -1;
        PageOrientation orientation = PageOrientation::Portrait;
        LandscapeTurn turn = LandscapeTurn::Left;
        QList<QRect> targets;
        QList<QImage> images;
        bool ended = false;
        bool aborted = false;
    };

    // Script.
    QStringList printers{QStringLiteral("Office Laser"), QStringLiteral("Tavisto_PDF")};
    int defaultPrinter = 0;
    int resolution = 600;
    int pageWidthPortrait = 4760;    // A4 printable width at 600 dpi
    int pageWidthLandscape = 6814;
    PageOrientation driverDefaultOrientation = PageOrientation::Portrait;
    PrinterSheet sheet{"iso_a4_210x297mm", {21000, 29700}, {635, 635, 635, 635}};
    bool failOnBegin = false;
    bool failOnDraw = false;
    bool failOnEnd = false;

    // Record.
    QList<Job> jobs;
    struct Document
    {
        QString title;
        int printerIndex = -1;
        QByteArray pdf;
        QByteArray media;
    };
    QList<Document> documents;  // every PrintDocument
    QList<int> selections;          // every SetPrinterIndex argument
    QList<int> propertiesShownFor;  // the selected printer each time the dialog opened
    // What the properties dialog "sets" for the turn when it is shown (none: left as it was).
    std::optional<LandscapeTurn> propertiesTurn;
    // The factor the dialog "takes" when it is shown (none: left as it was), and the factor
    // it was shown with, each time.
    std::optional<int> propertiesDpiFactor;
    QList<int> propertiesFactorShown;
    // Shows a window of its own in place of the queue's dialog, when set.
    std::function<void(QWidget*)> showProperties;

    QStringList Printers() override { return printers; }
    int PrinterIndex() override { return m_index; }
    void SetPrinterIndex(int index) override;
    int ResolutionX() override;
    int PageWidth() override;
    PageOrientation Orientation() override;
    void SetOrientation(PageOrientation orientation) override;
    void SetLandscapeTurn(LandscapeTurn turn) override;
    void SetTitle(const QString& title) override { m_title = title; }
    void BeginDoc() override;
    void EndDoc() override;
    void Abort() override;
    bool Printing() override { return m_open; }
    void DrawImage(const QRect& target, const QImage& image) override;
    void ShowProperties(QWidget* parent, LandscapeTurn& turn, int& dpiFactor) override;
    PrinterSheet Sheet() override
    {
        requirePrinter();
        return sheet;
    }

    // The papers the printer knows, each with its size (none listed: it knows every paper,
    // at the size of sheet); another paper gets sheet, as a queue gives its default.
    QMap<QByteArray, QSizeF> papers;

    PrinterSheet SheetOf(const QByteArray& media) override
    {
        requirePrinter();
        PrinterSheet s = sheet;
        if (papers.isEmpty()) {
            s.media = media;
        } else if (papers.contains(media)) {
            s.media = media;
            s.size = papers.value(media);
        }
        return s;
    }
    void PrintDocument(const QString& title, const QByteArray& pdf, const QByteArray& media) override
    {
        requirePrinter();
        if (failOnEnd)
            throw PrintError(QStringLiteral("Der Drucker hat den Auftrag abgelehnt."));
        documents.append({title, m_index, pdf, media});
    }

    // The orientation as the device settings hold it, without the no-printer check.
    PageOrientation currentOrientation() const { return m_orientations.value(m_index, driverDefaultOrientation); }
    void setCurrentOrientation(PageOrientation o) { m_orientations[m_index] = o; }

private:
    void requirePrinter() const;

    int m_index = 0;
    QMap<int, PageOrientation> m_orientations;
    QMap<int, LandscapeTurn> m_turns;
    QString m_title;
    bool m_open = false;
};
