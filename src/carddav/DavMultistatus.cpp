#include "carddav/DavMultistatus.h"

#include <QXmlStreamReader>

#include <algorithm>

namespace {

bool isDav(const QXmlStreamReader& r, QStringView local)
{
    return r.namespaceUri() == kDavNs && r.name() == local;
}

QString expandedName(const QXmlStreamReader& r)
{
    return DavName(r.namespaceUri(), r.name());
}

// The reader stands on a property's start element; leaves it on its end element.
DavProperty readProperty(QXmlStreamReader& r)
{
    DavProperty p;
    p.Name = expandedName(r);
    int depth = 1;
    bool inHref = false;
    int hrefDepth = 0;
    QString href;
    while (depth > 0 && !r.atEnd()) {
        switch (r.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            if (depth == 2)
                p.Children.append(expandedName(r));
            if (!inHref && isDav(r, u"href")) {
                inHref = true;
                hrefDepth = depth;
                href.clear();
            }
            break;
        case QXmlStreamReader::EndElement:
            if (inHref && depth == hrefDepth) {
                p.Hrefs.append(href.trimmed());
                inHref = false;
            }
            --depth;
            break;
        case QXmlStreamReader::Characters:
            p.Text += r.text();
            if (inHref)
                href += r.text();
            break;
        default:
            break;
        }
    }
    p.Text = p.Text.trimmed();
    return p;
}

void readPropstat(QXmlStreamReader& r, DavResponse& response)
{
    QList<DavProperty> props;
    int status = 0;
    while (r.readNextStartElement()) {
        if (isDav(r, u"prop")) {
            while (r.readNextStartElement())
                props.append(readProperty(r));
        } else if (isDav(r, u"status")) {
            status = ParseStatusLine(r.readElementText(QXmlStreamReader::SkipChildElements));
        } else {
            r.skipCurrentElement();
        }
    }
    // Properties the server could not give (404, 403) count as missing.
    if (status < 200 || status >= 300)
        return;
    // A name given twice counts once, the later one.
    for (DavProperty& p : props) {
        const auto same = std::find_if(response.Props.begin(), response.Props.end(),
                                        [&](const DavProperty& known) { return known.Name == p.Name; });
        if (same != response.Props.end())
            *same = std::move(p);
        else
            response.Props.append(std::move(p));
    }
}

DavResponse readResponse(QXmlStreamReader& r)
{
    DavResponse response;
    while (r.readNextStartElement()) {
        if (isDav(r, u"href"))
            response.Href = r.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
        else if (isDav(r, u"status"))
            response.Status = ParseStatusLine(r.readElementText(QXmlStreamReader::SkipChildElements));
        else if (isDav(r, u"propstat"))
            readPropstat(r, response);
        else
            r.skipCurrentElement();
    }
    return response;
}

} // namespace

QString DavName(QStringView ns, QStringView local)
{
    QString name;
    name.reserve(ns.size() + local.size() + 2);
    name += u'{';
    name += ns;
    name += u'}';
    name += local;
    return name;
}

const DavProperty* DavResponse::Prop(QStringView ns, QStringView local) const
{
    const QString name = DavName(ns, local);
    for (const DavProperty& p : Props)
        if (p.Name == name)
            return &p;
    return nullptr;
}

QString DavResponse::Text(QStringView ns, QStringView local) const
{
    const DavProperty* p = Prop(ns, local);
    return p ? p->Text : QString();
}

int ParseStatusLine(QStringView line)
{
    // "HTTP/1.1 200 OK": the second word.
    const QStringView trimmed = line.trimmed();
    const qsizetype space = trimmed.indexOf(u' ');
    if (space < 0)
        return 0;
    QStringView rest = trimmed.mid(space + 1);
    const qsizetype end = rest.indexOf(u' ');
    if (end >= 0)
        rest = rest.left(end);
    bool ok = false;
    const int code = rest.toInt(&ok);
    return ok && code >= 100 && code <= 999 ? code : 0;
}

DavMultistatus ParseMultistatus(const QByteArray& xml)
{
    DavMultistatus m;
    QXmlStreamReader r(xml);
    if (!r.readNextStartElement() || !isDav(r, u"multistatus"))
        return m;
    while (r.readNextStartElement()) {
        if (isDav(r, u"response"))
            m.Responses.push_back(readResponse(r));
        else if (isDav(r, u"sync-token"))
            m.SyncToken = r.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
        else
            r.skipCurrentElement();
    }
    // Nothing after the root element but whitespace, comments and processing instructions;
    // a truncated answer is no answer.
    while (!r.atEnd())
        r.readNext();
    if (r.hasError()) {
        m.Responses.clear();
        m.SyncToken.clear();
        return m;
    }
    m.Valid = true;
    return m;
}
