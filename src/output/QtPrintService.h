#pragma once
#include "output/PrintService.h"

#include <QPainter>
#include <QPrinter>
#include <memory>

// PrintService over QPrinter and CUPS. Device settings live in the QPrinter of the selected
// printer, so what the user changes in the properties dialog stays for the run while that
// printer stays selected.
class QtPrintService : public PrintService
{
public:
    QtPrintService();
    ~QtPrintService() override;

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

private:
    QPrinter& printer();

    QStringList m_names;
    int m_index = -1;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
    QString m_title;
};
