#pragma once
#include <QByteArray>

// Repacks a PDF of one classic cross-reference table (as Qt's writer makes it): every
// object that is not a stream goes into compressed object streams, indexed by a compressed
// cross-reference stream (PDF 1.5). A series of envelopes then costs per page little more
// than its content stream, where the page dictionary, its resources and their references
// took some 600 bytes. Stream objects are kept byte for byte, their lengths written
// directly. A file it cannot read is given back as it is.
QByteArray PackPdfObjects(const QByteArray& pdf);
