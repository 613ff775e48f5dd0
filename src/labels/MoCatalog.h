#pragma once
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

// A compiled gettext catalogue (.mo) read whole into memory: the distribution translates the
// label database's descriptions in one. Read here rather than through the C library, whose
// lookup follows the process's locale; the program speaks German whatever the desktop's
// language is.
class MoCatalog
{
public:
    // The catalogue's bytes; a file that is no catalogue (wrong magic, tables or strings
    // outside the file) gives an empty one.
    static MoCatalog FromBytes(const QByteArray& bytes);
    // Empty when the file is missing or unreadable.
    static MoCatalog FromFile(const QString& fileName);

    // The translation of message; message itself where the catalogue has none.
    QString Translate(const QString& message) const;
    bool isEmpty() const { return m_messages.isEmpty(); }

private:
    QHash<QByteArray, QString> m_messages;  // msgid (UTF-8) → translation
};

// Where the German catalogue of a gettext domain lies below the data folders
// (<folder>/locale/de/LC_MESSAGES/<domain>.mo); the first found, empty when none.
QString GermanCatalogFile(const QString& domain, const QStringList& dataFolders);

// The German catalogue of the label database's texts (domain "glabels-3.0", package
// glabels-data), looked for in the system's data folders; empty when not installed.
MoCatalog LabelDescriptionsCatalog();
