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

// What an open element is to the reader.
enum class Role {
    Root,
    Response,
    Href,           // a response's own href
    ResponseStatus, // a response's own status (a removed member)
    Propstat,
    PropstatStatus,
    Prop,
    Property,       // a child of DAV:prop
    InProperty,     // anything deeper inside a property
    SyncToken,
    Skipped,        // unknown here, with all it holds
};

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

// Driven by tokens rather than by nested reads, so that an answer cut anywhere between two
// pieces goes on where it stopped when the next piece comes.
struct DavMultistatusReader::State
{
    QXmlStreamReader Reader;
    std::function<void(DavResponse&&)> Emit;
    std::vector<Role> Open;
    bool Failed = false;
    bool Ended = false; // the root element closed, the document is whole
    QString SyncToken;

    DavResponse Response;
    QList<DavProperty> PropstatProps;
    int PropstatStatus = 0;
    DavProperty Property;
    bool InHref = false;
    size_t HrefLevel = 0;
    QString Href;
    QString Text; // of the element with text only being read (href, status, sync token)

    void start();
    void characters();
    void end();
    bool pump();
};

void DavMultistatusReader::State::start()
{
    QXmlStreamReader& r = Reader;
    if (Open.empty()) {
        if (!isDav(r, u"multistatus")) {
            Failed = true;
            return;
        }
        Open.push_back(Role::Root);
        return;
    }
    Role role = Role::Skipped;
    switch (Open.back()) {
    case Role::Root:
        if (isDav(r, u"response")) {
            role = Role::Response;
            Response = DavResponse();
        } else if (isDav(r, u"sync-token")) {
            role = Role::SyncToken;
            Text.clear();
        }
        break;
    case Role::Response:
        if (isDav(r, u"href"))
            role = Role::Href;
        else if (isDav(r, u"status"))
            role = Role::ResponseStatus;
        else if (isDav(r, u"propstat")) {
            role = Role::Propstat;
            PropstatProps.clear();
            PropstatStatus = 0;
        }
        Text.clear();
        break;
    case Role::Propstat:
        if (isDav(r, u"prop"))
            role = Role::Prop;
        else if (isDav(r, u"status")) {
            role = Role::PropstatStatus;
            Text.clear();
        }
        break;
    case Role::Prop:
        role = Role::Property;
        Property = DavProperty();
        Property.Name = expandedName(r);
        InHref = false;
        break;
    case Role::Property:
    case Role::InProperty:
        role = Role::InProperty;
        if (Open.back() == Role::Property)
            Property.Children.append(expandedName(r));
        if (!InHref && isDav(r, u"href")) {
            InHref = true;
            HrefLevel = Open.size() + 1;
            Href.clear();
        }
        break;
    default:
        // Child elements of an href, a status or a token add nothing to its text.
        break;
    }
    Open.push_back(role);
}

void DavMultistatusReader::State::characters()
{
    if (Open.empty())
        return;
    switch (Open.back()) {
    case Role::Href:
    case Role::ResponseStatus:
    case Role::PropstatStatus:
    case Role::SyncToken:
        Text += Reader.text();
        break;
    case Role::Property:
    case Role::InProperty:
        Property.Text += Reader.text();
        if (InHref)
            Href += Reader.text();
        break;
    default:
        break;
    }
}

void DavMultistatusReader::State::end()
{
    if (InHref && Open.size() == HrefLevel) {
        Property.Hrefs.append(Href.trimmed());
        InHref = false;
    }
    const Role role = Open.back();
    Open.pop_back();
    switch (role) {
    case Role::Response:
        if (Emit)
            Emit(std::move(Response));
        Response = DavResponse();
        break;
    case Role::Href:
        Response.Href = Text.trimmed();
        break;
    case Role::ResponseStatus:
        Response.Status = ParseStatusLine(Text);
        break;
    case Role::PropstatStatus:
        PropstatStatus = ParseStatusLine(Text);
        break;
    case Role::SyncToken:
        SyncToken = Text.trimmed();
        break;
    case Role::Property:
        Property.Text = Property.Text.trimmed();
        PropstatProps.append(std::move(Property));
        Property = DavProperty();
        break;
    case Role::Propstat:
        // Properties the server could not give (404, 403) count as missing.
        if (PropstatStatus < 200 || PropstatStatus >= 300)
            break;
        // A name given twice counts once, the later one.
        for (DavProperty& p : PropstatProps) {
            const auto same = std::find_if(Response.Props.begin(), Response.Props.end(),
                                            [&](const DavProperty& known) { return known.Name == p.Name; });
            if (same != Response.Props.end())
                *same = std::move(p);
            else
                Response.Props.append(std::move(p));
        }
        PropstatProps.clear();
        break;
    default:
        break;
    }
}

bool DavMultistatusReader::State::pump()
{
    while (!Failed) {
        const QXmlStreamReader::TokenType token = Reader.readNext();
        if (Reader.hasError()) {
            // The piece ended inside the document: the next one goes on from here.
            if (Reader.error() == QXmlStreamReader::PrematureEndOfDocumentError)
                return true;
            Failed = true;
            break;
        }
        switch (token) {
        case QXmlStreamReader::StartElement:
            start();
            break;
        case QXmlStreamReader::Characters:
            characters();
            break;
        case QXmlStreamReader::EndElement:
            end();
            break;
        case QXmlStreamReader::EndDocument:
            Ended = true;
            return true;
        default:
            break;
        }
    }
    return false;
}

DavMultistatusReader::DavMultistatusReader(std::function<void(DavResponse&&)> response) : m(std::make_unique<State>())
{
    m->Emit = std::move(response);
}

DavMultistatusReader::~DavMultistatusReader() = default;

bool DavMultistatusReader::AddData(const QByteArray& bytes)
{
    if (m->Failed)
        return false;
    if (m->Ended) {
        // Only white space may follow the document.
        if (!bytes.trimmed().isEmpty())
            m->Failed = true;
        return !m->Failed;
    }
    m->Reader.addData(bytes);
    return m->pump();
}

bool DavMultistatusReader::Finish()
{
    // A truncated answer is no answer.
    return !m->Failed && m->Ended;
}

QString DavMultistatusReader::SyncToken() const
{
    return m->SyncToken;
}

DavMultistatus ParseMultistatus(const QByteArray& xml)
{
    DavMultistatus m;
    DavMultistatusReader reader([&m](DavResponse&& r) { m.Responses.push_back(std::move(r)); });
    if (!reader.AddData(xml) || !reader.Finish()) {
        m.Responses.clear();
        return m;
    }
    m.SyncToken = reader.SyncToken();
    m.Valid = true;
    return m;
}
