#pragma once
#include <QByteArray>
#include <QByteArrayView>

#include <cstring>
#include <deque>
#include <string>
#include <vector>

class QIODevice;

namespace sheets::xml {

// Walks the XML of a stream token by token, as QXmlStreamReader does, for the parts of a
// spreadsheet that hold its rows (a worksheet, the shared strings, content.xml): a sheet of
// 100,000 rows is tens of megabytes of XML, and this reader takes a fraction of
// QXmlStreamReader's time for it. What it reads must be well-formed XML in UTF-8 with
// namespaces; a document type declaration (which no spreadsheet has) counts as an error.
// Comments and processing instructions are left out, entities resolved, line ends made
// "\n", and neighbouring pieces of text come as one token. Names, namespaces, attribute
// values and text are UTF-8 views that stay valid until the next call of ReadNext.
class PullReader
{
public:
    enum Token { NoToken, StartElement, EndElement, Characters, EndDocument, Invalid };

    // device stays the caller's and must outlive the reader.
    explicit PullReader(QIODevice* device);
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
    struct AttributeView
    {
        QByteArrayView ns, name, value;
    };
    // Every attribute of the start element, in the order written (namespace declarations
    // are none).
    std::vector<AttributeView> Attributes() const;

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
        const std::string* ns = nullptr;
        Piece name, text;
        size_t firstAttribute = 0, endAttribute = 0;
    };
    struct Attr
    {
        const std::string* ns = nullptr;
        Piece name, value;
    };
    struct Binding
    {
        std::string prefix; // empty: the default namespace
        const std::string* uri = nullptr; // null: none (an undeclared default)
    };
    // An attribute as written, before its prefix is resolved.
    struct RawAttr
    {
        const char* qname;
        size_t qnameSize;
        Piece value;
    };
    enum class Step { Done, NeedMore, Failed };

    bool ready() const;
    void fill();
    void compact();
    void fail();
    void scan(bool final);
    Step text(size_t& pos, bool final);
    Step markup(size_t& pos, bool final);
    bool startTag(const char* p, const char* end);
    bool distinctAttributes() const;
    bool endTag(const char* p, const char* end);
    bool instruction(const char* p, const char* end);
    bool decode(const char* p, const char* end, bool attribute);
    void textItem(size_t from);
    bool resolve(const char* qname, size_t size, bool element, const std::string*& ns, Piece& local);
    const std::string* intern(const char* uri, size_t size);
    bool lookup(QByteArrayView prefix, const std::string*& uri);
    void close();
    Piece store(const char* data, size_t size);
    QByteArrayView view(const Piece& p) const { return QByteArrayView(m_arena.data() + p.offset, qsizetype(p.size)); }
    bool matches(const Piece& p, QByteArrayView v) const
    {
        return p.size == size_t(v.size()) && std::memcmp(m_arena.data() + p.offset, v.data(), p.size) == 0;
    }
    const Item& current() const { return m_items[m_current]; }

    QIODevice* m_device;
    // Tokens read ahead, with their bytes in one arena.
    std::string m_arena;
    std::vector<Item> m_items;
    std::vector<Attr> m_attrs;
    size_t m_next = 0;
    size_t m_current = 0;
    Token m_type = NoToken;
    // The input not yet scanned; how far an unfinished token at its start was searched.
    std::string m_input;
    std::vector<char> m_chunk;
    size_t m_resume = 0;
    char m_resumeQuote = 0;
    // The elements open, as written (for their end tags), and the namespaces declared.
    std::string m_openNames;
    std::vector<size_t> m_openStarts;
    std::vector<size_t> m_openBindings;
    std::vector<const std::string*> m_openNs;
    std::vector<Binding> m_bindings;
    std::deque<std::string> m_uris; // every namespace met, kept for the tokens that name it
    std::vector<RawAttr> m_raw;
    // The prefixes looked up last, until a declaration comes or goes.
    struct Cached
    {
        std::string prefix;
        const std::string* uri = nullptr;
        bool valid = false;
    };
    Cached m_cache[4];
    size_t m_cacheNext = 0;
    bool m_started = false;      // past the byte order mark
    bool m_declarationPlace = true; // nothing read yet but the byte order mark
    bool m_rootSeen = false;
    bool m_rootClosed = false;
    bool m_finished = false; // the stream is read to its end
    bool m_ended = false;
    bool m_error = false;
};

} // namespace sheets::xml
