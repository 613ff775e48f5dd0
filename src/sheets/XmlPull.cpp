#include "sheets/XmlPull.h"

#include <QByteArray>
#include <QIODevice>

#include <cstring>
#include <expat.h>

namespace sheets::xml {

namespace {

// Between a namespace and a local name in the names expat hands over.
constexpr char kSeparator = '\x01';
// What is read from the stream at a time.
constexpr int kChunk = 65536;

} // namespace

PullReader::PullReader(QIODevice* device) : m_device(device), m_parser(XML_ParserCreateNS(nullptr, kSeparator))
{
    if (!m_parser) {
        m_error = m_ended = m_finished = true;
        return;
    }
    XML_SetUserData(m_parser, this);
    XML_SetElementHandler(m_parser, &PullReader::onStart, &PullReader::onEnd);
    XML_SetCharacterDataHandler(m_parser, &PullReader::onText);
}

PullReader::~PullReader()
{
    if (m_parser)
        XML_ParserFree(m_parser);
}

PullReader::Piece PullReader::store(const char* data, size_t size)
{
    const Piece p{m_arena.size(), size};
    m_arena.append(data, size);
    return p;
}

void PullReader::splitName(const char* qualified, Piece& ns, Piece& name)
{
    const size_t size = std::strlen(qualified);
    const Piece whole = store(qualified, size);
    const void* sep = std::memchr(qualified, kSeparator, size);
    if (!sep) {
        ns = Piece{whole.offset, 0};
        name = whole;
        return;
    }
    const size_t at = size_t(static_cast<const char*>(sep) - qualified);
    ns = Piece{whole.offset, at};
    name = Piece{whole.offset + at + 1, size - at - 1};
}

void PullReader::onStart(void* self, const char* name, const char** atts)
{
    auto& r = *static_cast<PullReader*>(self);
    Item item;
    item.type = StartElement;
    r.splitName(name, item.ns, item.name);
    item.firstAttribute = r.m_attrs.size();
    for (const char** a = atts; a[0]; a += 2) {
        Attr attr;
        r.splitName(a[0], attr.ns, attr.name);
        attr.value = r.store(a[1], std::strlen(a[1]));
        r.m_attrs.push_back(attr);
    }
    item.endAttribute = r.m_attrs.size();
    r.m_items.push_back(item);
}

void PullReader::onEnd(void* self, const char* name)
{
    auto& r = *static_cast<PullReader*>(self);
    Item item;
    item.type = EndElement;
    r.splitName(name, item.ns, item.name);
    r.m_items.push_back(item);
}

void PullReader::onText(void* self, const char* s, int len)
{
    static_cast<PullReader*>(self)->appendText(s, len);
}

void PullReader::appendText(const char* s, int len)
{
    // Text that goes on after an entity or a line break extends the token before it:
    // nothing else has been stored since, so its bytes stand at the arena's end.
    if (!m_items.empty() && m_items.back().type == Characters && m_next < m_items.size()) {
        m_arena.append(s, size_t(len));
        m_items.back().text.size += size_t(len);
        return;
    }
    Item item;
    item.type = Characters;
    item.text = store(s, size_t(len));
    m_items.push_back(item);
}

// A token can be handed on: one is waiting, and text is whole (the next token has come,
// or the stream has ended).
bool PullReader::ready() const
{
    if (m_next >= m_items.size())
        return false;
    return m_finished || m_next + 1 < m_items.size() || m_items.back().type != Characters;
}

// Drops what has been handed on; text still waiting for its end moves to the front.
void PullReader::compact()
{
    if (m_next >= m_items.size()) {
        m_items.clear();
        m_attrs.clear();
        m_arena.clear();
        m_next = 0;
        return;
    }
    if (m_next == 0)
        return;
    Item waiting = m_items.back(); // only text waits (ready() said no)
    m_arena.erase(0, waiting.text.offset);
    waiting.text.offset = 0;
    m_items.assign(1, waiting);
    m_attrs.clear();
    m_next = 0;
}

void PullReader::fill()
{
    compact();
    while (!ready() && !m_finished) {
        void* buffer = XML_GetBuffer(m_parser, kChunk);
        if (!buffer) {
            m_error = m_finished = true;
            break;
        }
        const qint64 n = m_device->read(static_cast<char*>(buffer), kChunk);
        if (n < 0) {
            m_error = m_finished = true;
            break;
        }
        if (n == 0)
            m_finished = true;
        if (XML_ParseBuffer(m_parser, int(n), n == 0) != XML_STATUS_OK) {
            m_error = m_finished = true;
            break;
        }
    }
}

PullReader::Token PullReader::ReadNext()
{
    if (m_ended)
        return m_type;
    if (!ready())
        fill();
    if (m_next < m_items.size()) {
        m_current = m_next++;
        m_type = m_items[m_current].type;
        return m_type;
    }
    m_ended = true;
    m_type = m_error ? Invalid : EndDocument;
    return m_type;
}

QByteArrayView PullReader::Name() const
{
    return m_type == StartElement || m_type == EndElement ? view(current().name) : QByteArrayView("");
}

QByteArrayView PullReader::NamespaceUri() const
{
    return m_type == StartElement || m_type == EndElement ? view(current().ns) : QByteArrayView("");
}

QByteArrayView PullReader::Text() const
{
    return m_type == Characters ? view(current().text) : QByteArrayView("");
}

QByteArrayView PullReader::Attribute(QByteArrayView ns, QByteArrayView name) const
{
    if (m_type != StartElement)
        return {};
    const Item& item = current();
    for (size_t i = item.firstAttribute; i < item.endAttribute; ++i) {
        const Attr& a = m_attrs[i];
        if (view(a.name) == name && view(a.ns) == ns)
            return view(a.value);
    }
    return {};
}

void PullReader::SkipCurrentElement()
{
    if (m_type != StartElement)
        return;
    int depth = 1;
    while (depth > 0 && ReadNext() != EndDocument && m_type != Invalid) {
        if (m_type == StartElement)
            ++depth;
        else if (m_type == EndElement)
            --depth;
    }
}

QByteArray PullReader::ReadElementText(bool includeChildren)
{
    QByteArray text;
    if (m_type != StartElement)
        return text;
    for (;;) {
        switch (ReadNext()) {
        case Characters:
            text += Text();
            break;
        case StartElement:
            if (includeChildren)
                text += ReadElementText(true);
            else
                SkipCurrentElement();
            break;
        case EndElement:
            return text;
        default:
            return text; // the end of the stream or an error
        }
    }
}

} // namespace sheets::xml
