#pragma once
#include <QByteArray>

#include <optional>
#include <vector>

class QIODevice;
class QRegularExpression;

// Reading a PDF of one classic cross-reference table, as Qt's writer makes it: where its
// objects lie and what each holds. The repacker reads its input through these.

// A plain zlib stream of the bytes, as FlateDecode holds them.
QByteArray PdfFlate(const QByteArray& bytes);
// A FlateDecode stream's bytes unpacked; nothing when they do not unpack or would exceed
// a bound no page content comes near.
std::optional<QByteArray> PdfInflate(const QByteArray& packed);

// The number of the first match's first group in dict ("/Root (\\d+) 0 R"), or nothing.
std::optional<int> PdfReferenceAfter(const QByteArray& dict, const QRegularExpression& re);

// Where the objects of the input lie, from its cross-reference table.
struct PdfXrefTable
{
    std::vector<qint64> offsets;  // by object number; -1 for a free one
    qint64 xref = 0;
    int root = -1;
    int info = -1;
};
std::optional<PdfXrefTable> ReadPdfXrefTable(QIODevice& in);

struct PdfObject
{
    QByteArray dict;  // the whole object for plain objects, the dictionary for streams
    QByteArray data;  // the stream's bytes, cut to its length later
    bool stream = false;
};
// The object between two offsets of the input ("N 0 obj" ... "endobj"), or nothing.
std::optional<PdfObject> ReadPdfObject(QIODevice& in, qint64 from, qint64 to);
