#include "tools/ChmBrowser.h"

#include "tools/ChmFile.h"

#include <QImage>
#include <QTextDocument>

ChmBrowser::ChmBrowser(QWidget* parent) : QTextBrowser(parent)
{
    setOpenExternalLinks(false);
    setOpenLinks(true);
}

QUrl ChmBrowser::PageUrl(const QString& archivePath)
{
    QUrl url;
    url.setScheme(QStringLiteral("chm"));
    url.setPath(archivePath);
    return url;
}

QVariant ChmBrowser::loadResource(int type, const QUrl& name)
{
    if (!m_file || name.scheme() != QLatin1String("chm"))
        return QTextBrowser::loadResource(type, name);
    const QByteArray bytes = m_file->Read(name.path());
    if (bytes.isNull()) {
        if (type == QTextDocument::HtmlResource)
            return QStringLiteral("<html><body><h1>Seite nicht gefunden</h1><p>%1</p></body></html>")
                .arg(name.path().toHtmlEscaped());
        return QVariant();
    }
    if (type == QTextDocument::ImageResource)
        return QImage::fromData(bytes);
    // The help pages are written in UTF-8.
    return QString::fromUtf8(bytes);
}
