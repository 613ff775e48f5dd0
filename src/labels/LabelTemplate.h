#pragma once
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

// One label product: a sheet of rectangular labels in one or more grids. Lengths are in
// points (1/72 inch), as the label database keeps them.
struct LabelTemplate
{
    struct Grid
    {
        int Nx = 0;
        int Ny = 0;
        double X0 = 0;
        double Y0 = 0;
        double Dx = 0;
        double Dy = 0;
    };

    QString Brand;
    QString Part;
    QString Description;
    QString PaperId;    // "A4" or "US-Letter"
    QSizeF PageSize;    // portrait
    QSizeF LabelSize;
    double Round = 0;   // corner radius
    double MarkupMargin = -1;  // the maker's margin for text; negative when none is given
    QList<Grid> Grids;
    QString EquivalentOf;  // the part this one is sold as the same sheet as; empty if none

    QString Name() const { return Brand + QLatin1Char(' ') + Part; }
    int Count() const;
    // Every label's rectangle on the sheet, in label order: top to bottom, then left to right.
    QList<QRectF> LabelRects() const;
    // The PWG name of the paper that the print job names.
    QByteArray Media() const;
};

// The margin inside a label that text keeps: the maker's markup margin where it gives one
// above 0, else 1.5 mm.
double LabelInnerMargin(const LabelTemplate& t);
