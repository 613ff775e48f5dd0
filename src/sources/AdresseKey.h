#pragma once
#include "sources/ImportedAdresse.h"

#include <QStringList>

// What makes two addresses the same for an import that should not double a group: their
// lines that are not blank, compared without regard to case and with every run of blanks
// taken as one blank. A first line that is only a salutation ("Herrn", "Frau") does not
// count, so an address stored with it and one without are the same; a company line does
// count. "Müller" and "Mueller" stay different.
QString AdresseKey(const QStringList& lines);

// A key in 64 bits, so that the keys of a group of 100,000 addresses take little memory;
// two different addresses share one with a chance of about one in 10^9 at that size.
quint64 AdresseKeyHash(const QString& key);

// The key of an address as the store will keep it: characters the code page lacks are
// replaced first, as the store replaces them.
QString StoredAdresseKey(const ImportedAdresse& adresse);
