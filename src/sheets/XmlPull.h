#pragma once
#include <QByteArrayView>
#include <QString>

#include <string>
#include <vector>

class QIODevice;
struct XML_ParserStruct;

namespace sheets::xml {

// Walks the XML of a stream token by token, as QXmlStreamReader does, for the parts of a
// spreadsheet that hold its rows (a worksheet, content.xml): expat parses them about three
// times as fast. Comments and processing instructions are left out; entities are resolved;
// neighbouring pieces of text come as one token. Names, namespaces, attribute values and
// text are UTF-8 views that stay valid until the next call of ReadNext.
class PullReader
{
public:
    enum Token { NoToken, StartElement, EndElement, Characters, EndDocument, Invalid };

    // device stays the caller's and must outlive the reader.
    explicit PullReader(QIODevice* device);
    ~PullReader();
    PullReader(const PullReader&) = delete;
    PullReader& operator=(const PullReader&) = delete;

    Token ReadNext();
    // After the end of the document or an error: no token follows.
    bool AtEnd() const { return m_ended; }
    // The XML was not well-formed, or the stream gave up (ask its archive why).
    bool HasError() const { return m_error; }

    bool IsStartElement() const { return m_type == StartElement; }
    bool IsEndElement() const { return m_type == EndElement; }
    bool IsCharacters() const { return m_type == Characters; }

    // The element's local name and namespace (empty when it has none).
    QByteArrayView Name() const;
    QByteArrayView NamespaceUri() const;
    QByteArrayView Text() const;
    // The value of an attribute of the start element the reader stands on; a null view
    // when the element has none of that name. ns is empty for an attribute without prefix.
    QByteArrayView Attribute(QByteArrayView ns, QByteArrayView name) const;

    // Reads to the end of the element the reader stands on, with everything inside it.
    void SkipCurrentElement();
    // The text of the element the reader stands on, read to its end; child elements are
    // skipped, or their text is taken (includeChildren).
    QByteArray ReadElementText(bool includeChildren);

private:
    struct Piece
    {
        size_t offset = 0;
        size_t size = 0;
    };
    struct Item
    {
        Token type = NoToken;
        Piece ns, name, text;
        size_t firstAttribute = 0, endAttribute = 0;
    };
    struct Attr
    {
        Piece ns, name, value;
    };

    bool ready() const;
    void fill();
    void compact();
    Piece store(const char* data, size_t size);
    void splitName(const char* qualified, Piece& ns, Piece& name);
    QByteArrayView view(const Piece& p) const { return QByteArrayView(m_arena.data() + p.offset, qsizetype(p.size)); }
    void appendText(const char* s, int len);
    const Item& current() const { return m_items[m_current]; }

    static void onStart(void* self, const char* name, const char** atts);
    static void onEnd(void* self, const char* name);
    static void onText(void* self, const char* s, int len);

    QIODevice* m_device;
    XML_ParserStruct* m_parser;
    std::string m_arena;
    std::vector<Item> m_items;
    std::vector<Attr> m_attrs;
    size_t m_next = 0;
    size_t m_current = 0;
    Token m_type = NoToken;
    bool m_finished = false; // the stream is read to its end
    bool m_ended = false;
    bool m_error = false;
};

} // namespace sheets::xml
