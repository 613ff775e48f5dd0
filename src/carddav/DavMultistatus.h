#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// Namespaces of the properties a CardDAV client asks for.
inline constexpr QStringView kDavNs = u"DAV:";
inline constexpr QStringView kCarddavNs = u"urn:ietf:params:xml:ns:carddav";
inline constexpr QStringView kCalendarServerNs = u"http://calendarserver.org/ns/";

// One property of a WebDAV answer.
struct DavProperty
{
    QString Name;         // its expanded name, "{namespace}local"
    QString Text;         // all character data inside it, trimmed (an ETag, a name, a card)
    QStringList Hrefs;    // the DAV:href elements inside it (a principal, a home set)
    QStringList Children; // expanded names of its child elements (a resource type)
};

// One DAV:response of a multistatus: the properties that came with status 200.
struct DavResponse
{
    QString Href;
    int Status = 0; // the response's own status (a removed member in a sync report); 0 when none
    // A short list, not a hash: a listing of a large book has thousands of responses with
    // one or two properties each, and every hash would allocate room for dozens.
    QList<DavProperty> Props;

    const DavProperty* Prop(QStringView ns, QStringView local) const;
    QString Text(QStringView ns, QStringView local) const;
};

struct DavMultistatus
{
    bool Valid = false; // a well-formed DAV:multistatus
    std::vector<DavResponse> Responses;
    QString SyncToken; // the report's new sync token (sync-collection)
};

// Reads a multistatus as it arrives, piece by piece: each DAV:response is handed over
// as soon as its end tag has been read, so a large answer is never held whole.
class DavMultistatusReader
{
public:
    explicit DavMultistatusReader(std::function<void(DavResponse&& response)> response);
    ~DavMultistatusReader();
    // The next piece of the answer; false once it can no longer be a multistatus.
    bool AddData(const QByteArray& bytes);
    // The answer has ended: whether it was a whole, well-formed multistatus.
    bool Finish();
    // The report's new sync token, once read.
    QString SyncToken() const;

private:
    struct State;
    std::unique_ptr<State> m;
};

// Reads a 207 answer. Anything that is not a well-formed DAV:multistatus gives Valid false
// and no responses; unknown elements are passed over wherever they stand, and a name is
// only what its namespace says, whatever prefix the server chose.
DavMultistatus ParseMultistatus(const QByteArray& xml);

// The status code of an HTTP status line ("HTTP/1.1 404 Not Found" gives 404); 0 when none.
int ParseStatusLine(QStringView line);

// "{ns}local", the name of a DavProperty.
QString DavName(QStringView ns, QStringView local);
