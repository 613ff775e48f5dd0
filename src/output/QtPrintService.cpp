#include "output/QtPrintService.h"

#include "output/PrintError.h"

#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinterInfo>

QtPrintService::QtPrintService()
{
    m_names = QPrinterInfo::availablePrinterNames();
    const QString def = QPrinterInfo::defaultPrinterName();
    m_index = int(m_names.indexOf(def));
    if (m_index < 0 && !m_names.isEmpty())
        m_index = 0;
}

QtPrintService::~QtPrintService()
{
    if (m_painter && m_painter->isActive())
        Abort();
}

QStringList QtPrintService::Printers()
{
    return m_names;
}

int QtPrintService::PrinterIndex()
{
    return m_index;
}

void QtPrintService::SetPrinterIndex(int index)
{
    if (index < 0) {
        index = int(m_names.indexOf(QPrinterInfo::defaultPrinterName()));
        if (index < 0 && !m_names.isEmpty())
            index = 0;
    }
    if (index >= m_names.size())
        throw PrintError(QStringLiteral("Der Drucker mit der Nummer %1 ist nicht vorhanden.").arg(index));
    m_index = index;
}

QPrinter& QtPrintService::printer()
{
    if (m_index < 0 || m_index >= m_names.size())
        throw PrintError(QStringLiteral("Es ist kein Drucker ausgewählt."));
    std::unique_ptr<QPrinter>& p = m_printers[m_names[m_index]];
    if (!p) {
        p = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(m_names[m_index]), QPrinter::HighResolution);
        p->setFullPage(false);
    }
    return *p;
}

int QtPrintService::ResolutionX()
{
    return printer().resolution();
}

int QtPrintService::PageWidth()
{
    QPrinter& p = printer();
    return p.pageLayout().paintRectPixels(p.resolution()).width();
}

PageOrientation QtPrintService::Orientation()
{
    return printer().pageLayout().orientation() == QPageLayout::Landscape ? PageOrientation::Landscape
                                                                          : PageOrientation::Portrait;
}

void QtPrintService::SetOrientation(PageOrientation orientation)
{
    printer().setPageOrientation(orientation == PageOrientation::Landscape ? QPageLayout::Landscape
                                                                           : QPageLayout::Portrait);
}

void QtPrintService::SetTitle(const QString& title)
{
    m_title = title;
}

void QtPrintService::BeginDoc()
{
    QPrinter& p = printer();
    p.setDocName(m_title);
    m_painter = std::make_unique<QPainter>();
    m_jobPrinter = &p;
    if (!m_painter->begin(&p)) {
        m_painter.reset();
        throw PrintError(QStringLiteral("Der Druckauftrag konnte nicht gestartet werden."));
    }
}

void QtPrintService::EndDoc()
{
    if (!m_painter)
        return;
    const bool ok = m_painter->end();
    m_painter.reset();
    if (!ok)
        throw PrintError(QStringLiteral("Der Druckauftrag konnte nicht abgeschlossen werden."));
}

void QtPrintService::Abort()
{
    if (!m_painter)
        return;
    if (m_jobPrinter)
        m_jobPrinter->abort();
    m_painter->end();
    m_painter.reset();
}

bool QtPrintService::Printing()
{
    return m_painter && m_painter->isActive();
}

void QtPrintService::DrawImage(const QRect& target, const QImage& image)
{
    if (!Printing())
        throw PrintError(QStringLiteral("Es ist kein Druckauftrag geöffnet."));
    // Rows and columns are repeated or dropped, never blended, like a plain device copy.
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    m_painter->drawImage(target, image);
}

void QtPrintService::ShowProperties(QWidget* parent)
{
    QPrintDialog dialog(&printer(), parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.exec();
}
