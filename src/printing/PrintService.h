#pragma once
#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>

#include "printing/PrinterOptions.h"

class QWidget;

enum class PageOrientation { Portrait, Landscape };

// Which way a landscape envelope is turned onto the sheet as it lies in the printer:
// a quarter to the left (its top edge along the sheet's left edge) or to the right.
// Envelope feeders differ, so each printer keeps its own.
enum class LandscapeTurn { Left = 0, Right = 1 };

// The printing operations the program needs from the system, in printer dots.
// The real one prints over CUPS; tests use a recording fake.
class PrintService
{
public:
    virtual ~PrintService() = default;

    // 1. Installed printers as display names, in the system's order.
    virtual QStringList Printers() = 0;
    int PrinterCount() { return int(Printers().size()); }
    // 2. The selected printer; -1 selects the system's default. Selecting the printer that
    //    is selected keeps its device settings; another starts from its defaults.
    virtual int PrinterIndex() = 0;
    virtual void SetPrinterIndex(int index) = 0;
    // 3. Horizontal resolution in dots per inch.
    virtual int ResolutionX() = 0;
    // 4. Width of the printable area in the current orientation, in dots.
    virtual int PageWidth() = 0;
    // 5. Page orientation of the selected printer's device settings.
    virtual PageOrientation Orientation() = 0;
    virtual void SetOrientation(PageOrientation orientation) = 0;
    //    How the selected printer takes a landscape page.
    virtual void SetLandscapeTurn(LandscapeTurn turn) = 0;
    // 6. One job with one page.
    virtual void SetTitle(const QString& title) = 0;
    virtual void BeginDoc() = 0;
    virtual void EndDoc() = 0;
    virtual void Abort() = 0;
    virtual bool Printing() = 0;
    // 7. Copies the picture into a rectangle of the open page (origin: the printable
    //    area's top-left corner).
    virtual void DrawImage(const QRect& target, const QImage& image) = 0;
    // 8. The printer's own properties dialog for the selected printer; it also edits which
    //    way the printer takes a landscape page, and beside the resolution it offers the
    //    font-size factor that keeps the text's size (dpiFactor: the settings' factor in,
    //    the one the user took out).
    virtual void ShowProperties(QWidget* parent, LandscapeTurn& turn, int& dpiFactor) = 0;
    // The sheet the next job on the selected printer gets, with its printable area.
    virtual PrinterSheet Sheet() = 0;
    // The sheet of the given paper (a PWG name) on the selected printer, with its
    // printable area.
    virtual PrinterSheet SheetOf(const QByteArray& media) = 0;
    // A finished document of one or more pages on that paper as one job: the paper is
    // named in the job and nothing is scaled.
    virtual void PrintDocument(const QString& title, const QByteArray& pdf, const QByteArray& media) = 0;
};
