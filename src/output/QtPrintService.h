#pragma once
#include "output/PrintService.h"

#include <QPainter>
#include <QPrinter>
#include <map>
#include <memory>

// PrintService over QPrinter and CUPS. Each printer gets its own QPrinter the first time it
// is selected and keeps it for the run, so what the user changes in its properties dialog
// stays with that printer, also when another one was selected in between.
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
    std::map<QString, std::unique_ptr<QPrinter>> m_printers;
    std::unique_ptr<QPainter> m_painter;
    QPrinter* m_jobPrinter = nullptr;  // the printer of the open job
    QString m_title;
};
