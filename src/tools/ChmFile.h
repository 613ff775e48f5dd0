#pragma once
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

struct chmFile;

// A compiled HTML help file opened for reading: its pages, its table of contents and its
// map from context numbers to pages.
class ChmFile
{
public:
    struct TocEntry
    {
        QString Name;
        QString Local;  // archive path of the page, starting with "/"
        int Level = 0;
    };

    explicit ChmFile(const QString& fileName);
    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;

    bool IsOpen() const { return m_chm != nullptr; }
    // Every object's archive path ("/page.htm"), directories excluded.
    const QStringList& Paths() const { return m_paths; }
    bool Contains(const QString& path) const;
    // Objects larger than this are not read (a damaged directory entry).
    static constexpr quint64 kMaxObjectSize = 64 * 1024 * 1024;
    // The bytes of an object, or a null array when the archive lacks it or it is larger
    // than kMaxObjectSize.
    QByteArray Read(const QString& path) const;

    // The page of a context number, or the empty text for an unknown number.
    QString PageForContext(int context) const { return m_contexts.value(context); }
    const QHash<int, QString>& Contexts() const { return m_contexts; }
    const QList<TocEntry>& Contents() const { return m_toc; }
    // The page named as the default topic, else the first page of the contents.
    QString DefaultPage() const;

    // Archive path of a link found in a page (relative to that page), without anchor.
    static QString Resolve(const QString& fromPage, const QString& link);

private:
    bool lzxWindowUsable() const;
    void readContextMap();
    void readContents();
    void readSystem();
    QString archivePath(QString topic) const;

    ::chmFile* m_chm = nullptr;
    bool m_lzxUsable = false;  // compressed objects can be read without crashing chmlib
    QStringList m_paths;
    QHash<int, QString> m_contexts;
    QList<TocEntry> m_toc;
    QString m_defaultTopic;
    QString m_contentsFile;
};
