#pragma once
#include <QByteArray>

#include <functional>

class QIODevice;

struct PdfPackOptions
{
    // Every page shown turned a quarter clockwise (/Rotate 90): a standing envelope is drawn
    // lying and turned only for viewing, so each of its lines stays one line of text.
    bool TurnPages = false;
    // What pages repeat at their beginning byte for byte (a series' sender and banner) is
    // kept once, as a form that every page calls.
    bool ShareRepeatedContent = false;
};

// While the objects are written: how much of the input is done, of how much; false stops.
using PdfPackStep = std::function<bool(qint64 done, qint64 total)>;

enum class PdfPackResult { Packed, Unreadable, Stopped, WriteFailed };

// Repacks a PDF of one classic cross-reference table (as Qt's writer makes it): every
// object that is not a stream goes into compressed object streams, indexed by a compressed
// cross-reference stream (PDF 1.5). A series of envelopes then costs per page little more
// than its content stream, where the page dictionary, its resources and their references
// took some 600 bytes. Stream objects are kept byte for byte (but for page contents whose
// repeated part becomes a form), their lengths written directly (the objects that held
// them are left out). The fonts' names get the subset tag
// their descriptors have, as PDF asks of subsets.
// The input is read object by object and the output written as it is made, so memory stays
// flat however many pages there are.
PdfPackResult PackPdfObjects(QIODevice& in, QIODevice& out, const PdfPackOptions& options = {},
                             const PdfPackStep& step = {});

// The same over bytes. A file it cannot read is given back as it is.
QByteArray PackPdfObjects(const QByteArray& pdf, const PdfPackOptions& options = {});
