#include "sheets/XmlPull.h"

#include "sheets/XmlText.h"

#include <QIODevice>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <unordered_set>
#include <utility>

namespace sheets::xml {

namespace {

// What is read from the stream at a time.
constexpr size_t kChunk = 65536;
// More namespaces and declarations than any document has: the names of a hostile file
// stay few, and looking one up stays short.
constexpr size_t kMaxNamespaces = 1000;
constexpr size_t kMaxBindings = 10000;
// "&#x10FFFF;" and a little more: a reference that has not ended by then is none.
constexpr size_t kLongestReference = 16;

const std::string kXmlNamespace = "http://www.w3.org/XML/1998/namespace";

// What each byte may be, looked up once instead of compared several times: the scanners
// below pass every byte of tens of megabytes.
enum ByteClass : unsigned char {
    kNameStart = 1,
    kNameChar = 2,
    kSpace = 4,
    kTagStop = 8,   // ends the scan of a start tag's bytes: > < " '
    kTextStop = 16, // ends a run of plain text: a control character or &
    kValueStop = 32, // the same in an attribute value, and <
};

constexpr std::array<unsigned char, 256> kByteClass = [] {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c) {
        const bool start = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80;
        if (start)
            t[c] |= kNameStart | kNameChar;
        if ((c >= '0' && c <= '9') || c == '-' || c == '.')
            t[c] |= kNameChar;
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
            t[c] |= kSpace;
        if (c == '>' || c == '<' || c == '"' || c == '\'')
            t[c] |= kTagStop;
        if (c < 0x20 || c == '&')
            t[c] |= kTextStop | kValueStop;
        if (c == '<')
            t[c] |= kValueStop;
    }
    return t;
}();

bool is(char c, ByteClass k) { return kByteClass[static_cast<unsigned char>(c)] & k; }

bool isSpace(char c) { return is(c, kSpace); }

bool isNameStart(unsigned char c) { return kByteClass[c] & kNameStart; }

// The length of the name that begins at p; 0 when none does.
size_t nameLength(const char* p, const char* end)
{
    if (p == end || !is(*p, kNameStart))
        return 0;
    const char* q = p + 1;
    while (q < end && is(*q, kNameChar))
        ++q;
    return size_t(q - p);
}

bool same(const std::string& s, QByteArrayView v)
{
    return s.size() == size_t(v.size()) && std::memcmp(s.data(), v.data(), s.size()) == 0;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// "&#252;", "&#xFC;": the character; 0 when the reference is no character XML allows.
char32_t characterReference(QByteArrayView ref)
{
    const bool hex = ref.startsWith("#x");
    const QByteArrayView digits = ref.sliced(hex ? 2 : 1);
    if (digits.isEmpty() || digits.size() > 8)
        return 0;
    char32_t c = 0;
    for (const char d : digits) {
        int v;
        if (d >= '0' && d <= '9')
            v = d - '0';
        else if (hex && d >= 'a' && d <= 'f')
            v = d - 'a' + 10;
        else if (hex && d >= 'A' && d <= 'F')
            v = d - 'A' + 10;
        else
            return 0;
        c = c * (hex ? 16 : 10) + char32_t(v);
    }
    return c <= 0x10FFFF && AllowedInXml(c) ? c : 0;
}

} // namespace

PullReader::PullReader(QIODevice* device) : m_device(device) {}

PullReader::Piece PullReader::store(const char* data, size_t size)
{
    const Piece p{m_arena.size(), size};
    m_arena.append(data, size);
    return p;
}

void PullReader::fail()
{
    m_error = true;
    m_finished = true;
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
        // Read into a buffer of its own: growing the input by a whole chunk for each read
        // would clear 64 KiB every time a stream hands over a few bytes.
        if (m_chunk.empty())
            m_chunk.resize(kChunk);
        const qint64 n = m_device->read(m_chunk.data(), qint64(kChunk));
        if (n > 0)
            m_input.append(m_chunk.data(), size_t(n));
        if (n < 0) {
            fail();
            break;
        }
        if (n == 0)
            m_finished = true;
        scan(m_finished);
    }
}

void PullReader::scan(bool final)
{
    size_t pos = 0;
    if (!m_started) {
        if (m_input.size() < 3 && !final)
            return;
        const auto* b = reinterpret_cast<const unsigned char*>(m_input.data());
        if (m_input.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
            pos = 3;
        else if (m_input.size() >= 2 && ((b[0] == 0xFE && b[1] == 0xFF) || (b[0] == 0xFF && b[1] == 0xFE)))
            return fail(); // UTF-16: no spreadsheet writes it
        m_started = true;
    }
    while (pos < m_input.size()) {
        const Step step = m_input[pos] == '<' ? markup(pos, final) : text(pos, final);
        if (step == Step::Failed)
            return fail();
        if (step == Step::NeedMore)
            break;
        m_declarationPlace = false;
    }
    m_input.erase(0, pos);
    if (final && (!m_input.empty() || !m_rootClosed))
        fail();
}

PullReader::Step PullReader::text(size_t& pos, bool final)
{
    m_declarationPlace = false; // text, even blanks, comes before it
    const char* b = m_input.data();
    const size_t n = m_input.size();
    const void* lt = std::memchr(b + pos, '<', n - pos);
    size_t end = lt ? size_t(static_cast<const char*>(lt) - b) : n;
    const bool whole = lt || final;
    if (!whole) {
        // Keep back what the next bytes may complete: a reference, a CR before its LF.
        if (const void* amp = memrchr(b + pos, '&', end - pos)) {
            const size_t at = size_t(static_cast<const char*>(amp) - b);
            if (!std::memchr(b + at, ';', end - at)) {
                if (end - at > kLongestReference)
                    return Step::Failed;
                end = at;
            }
        }
        if (end > pos && b[end - 1] == '\r')
            --end;
        if (end == pos)
            return Step::NeedMore;
    }
    if (m_openStarts.empty()) {
        // Outside the root element only blanks may stand.
        for (size_t i = pos; i < end; ++i)
            if (!isSpace(b[i]))
                return Step::Failed;
    } else {
        const size_t from = m_arena.size();
        if (!decode(b + pos, b + end, false))
            return Step::Failed;
        textItem(from);
    }
    pos = end;
    return whole ? Step::Done : Step::NeedMore;
}

// The text the arena holds from `from` on, as a token or as more of the text before it.
void PullReader::textItem(size_t from)
{
    const size_t size = m_arena.size() - from;
    if (size == 0)
        return;
    if (!m_items.empty() && m_next < m_items.size()) {
        Item& last = m_items.back();
        if (last.type == Characters && last.text.offset + last.text.size == from) {
            last.text.size += size;
            return;
        }
    }
    Item item;
    item.type = Characters;
    item.text = Piece{from, size};
    m_items.push_back(item);
}

// Appends the text to the arena with its references resolved and its line ends made LF
// (in an attribute value every blank a space); false when it is no XML text.
bool PullReader::decode(const char* p, const char* end, bool attribute)
{
    std::string& out = m_arena;
    while (p < end) {
        const char* run = p;
        const ByteClass stop = attribute ? kValueStop : kTextStop;
        while (p < end && !is(*p, stop))
            ++p;
        out.append(run, size_t(p - run));
        if (p == end)
            break;
        const char c = *p;
        if (c == '&') {
            const auto* semi = static_cast<const char*>(std::memchr(p + 1, ';', size_t(end - p - 1)));
            if (!semi)
                return false;
            const QByteArrayView ref(p + 1, semi - p - 1);
            if (ref == "lt")
                out += '<';
            else if (ref == "gt")
                out += '>';
            else if (ref == "amp")
                out += '&';
            else if (ref == "quot")
                out += '"';
            else if (ref == "apos")
                out += '\'';
            else if (const char32_t code = ref.startsWith('#') ? characterReference(ref) : 0)
                appendUtf8(out, code);
            else
                return false; // no document type declares other entities
            p = semi + 1;
        } else if (c == '\r') {
            out += attribute ? ' ' : '\n';
            ++p;
            if (p < end && *p == '\n')
                ++p;
        } else if (c == '\t' || c == '\n') {
            out += attribute ? ' ' : c;
            ++p;
        } else {
            return false; // a control character, or "<" in an attribute value
        }
    }
    return true;
}

PullReader::Step PullReader::markup(size_t& pos, bool final)
{
    const char* b = m_input.data();
    const size_t n = m_input.size();
    if (n - pos < 2)
        return final ? Step::Failed : Step::NeedMore;
    // A token longer than a read is searched on from where the last search stopped, not
    // again from its start.
    const size_t resume = std::exchange(m_resume, 0);
    char quote = std::exchange(m_resumeQuote, 0);
    auto from = [&](size_t first, size_t terminator) { return pos + std::max(first, resume + 1 - std::min(resume + 1, terminator)); };
    auto more = [&] {
        if (final)
            return Step::Failed;
        m_resume = n - pos;
        return Step::NeedMore;
    };
    const char kind = b[pos + 1];
    if (kind == '/') {
        const size_t start = from(2, 1);
        const void* gt = std::memchr(b + start, '>', n - start);
        if (!gt)
            return more();
        if (!endTag(b + pos + 2, static_cast<const char*>(gt)))
            return Step::Failed;
        pos = size_t(static_cast<const char*>(gt) - b) + 1;
        return Step::Done;
    }
    if (kind == '?') {
        const size_t close = m_input.find("?>", from(2, 2));
        if (close == std::string::npos)
            return more();
        if (!instruction(b + pos + 2, b + close))
            return Step::Failed;
        pos = close + 2;
        return Step::Done;
    }
    if (kind == '!') {
        if (n - pos < 9 && !final)
            return Step::NeedMore;
        if (m_input.compare(pos, 4, "<!--") == 0) {
            const size_t close = m_input.find("-->", from(4, 3));
            if (close == std::string::npos)
                return more();
            pos = close + 3;
            return Step::Done;
        }
        if (m_input.compare(pos, 9, "<![CDATA[") == 0) {
            if (m_openStarts.empty())
                return Step::Failed;
            const size_t close = m_input.find("]]>", from(9, 3));
            if (close == std::string::npos)
                return more();
            const size_t from = m_arena.size();
            for (const char* p = b + pos + 9; p < b + close; ++p) {
                const auto c = static_cast<unsigned char>(*p);
                if (c == '\r') {
                    m_arena += '\n';
                    if (p + 1 < b + close && p[1] == '\n')
                        ++p;
                } else if (c < 0x20 && c != '\t' && c != '\n') {
                    return Step::Failed;
                } else {
                    m_arena += char(c);
                }
            }
            textItem(from);
            pos = close + 3;
            return Step::Done;
        }
        return Step::Failed; // a document type declaration, or no markup at all
    }
    // A start tag: its end is the first ">" outside a quoted value.
    size_t i = pos + std::max<size_t>(1, resume);
    for (;;) {
        if (quote) {
            const void* close = std::memchr(b + i, quote, n - i);
            if (!close) {
                m_resumeQuote = quote;
                return more();
            }
            i = size_t(static_cast<const char*>(close) - b) + 1;
            quote = 0;
            continue;
        }
        while (i < n && !is(b[i], kTagStop))
            ++i;
        if (i >= n)
            return more();
        const char c = b[i];
        if (c == '>')
            break;
        if (c == '<')
            return Step::Failed;
        if (c == '"' || c == '\'')
            quote = c;
        ++i;
    }
    if (!startTag(b + pos + 1, b + i))
        return Step::Failed;
    pos = i + 1;
    return Step::Done;
}

const std::string* PullReader::intern(const char* uri, size_t size)
{
    for (const std::string& known : m_uris)
        if (known.size() == size && std::memcmp(known.data(), uri, size) == 0)
            return &known;
    m_uris.emplace_back(uri, size);
    return &m_uris.back();
}

// The namespace a prefix stands for ("" for the default); false when none is declared.
bool PullReader::lookup(QByteArrayView prefix, const std::string*& uri)
{
    for (const Cached& c : m_cache)
        if (c.valid && c.prefix.size() == size_t(prefix.size()) &&
            std::equal(c.prefix.begin(), c.prefix.end(), prefix.begin())) {
            uri = c.uri;
            return true;
        }
    bool found = false;
    uri = nullptr;
    for (auto b = m_bindings.rbegin(); b != m_bindings.rend(); ++b)
        if (QByteArrayView(b->prefix) == prefix) {
            uri = b->uri;
            found = true;
            break;
        }
    if (!found && prefix == "xml") {
        uri = &kXmlNamespace;
        found = true;
    }
    if (!found)
        return prefix.isEmpty(); // an element without prefix and without default: no namespace
    Cached& c = m_cache[m_cacheNext++ % std::size(m_cache)];
    c.prefix.assign(prefix.data(), size_t(prefix.size()));
    c.uri = uri;
    c.valid = true;
    return true;
}

bool PullReader::resolve(const char* qname, size_t size, bool element, const std::string*& ns, Piece& local)
{
    // Names are short: an inline search beats a call of memchr.
    const char* colon = std::find(qname, qname + size, ':');
    if (colon == qname + size) {
        ns = nullptr;
        if (element && !lookup({}, ns))
            return false;
        local = store(qname, size);
        return true;
    }
    const QByteArrayView prefix(qname, colon - qname);
    const char* name = colon + 1;
    const size_t nameSize = size - size_t(name - qname);
    if (prefix.isEmpty() || nameSize == 0 || std::find(name, name + nameSize, ':') != name + nameSize ||
        (prefix.size() == 5 && std::memcmp(prefix.data(), "xmlns", 5) == 0) ||
        !isNameStart(static_cast<unsigned char>(*name)))
        return false;
    if (!lookup(prefix, ns))
        return false;
    local = store(name, nameSize);
    return true;
}

// No attribute twice in one tag; a tag with very many is checked through a set.
bool PullReader::distinctAttributes() const
{
    if (m_raw.size() <= 16) {
        for (size_t i = 0; i < m_raw.size(); ++i)
            for (size_t j = 0; j < i; ++j)
                if (m_raw[i].qnameSize == m_raw[j].qnameSize && std::memcmp(m_raw[i].qname, m_raw[j].qname, m_raw[i].qnameSize) == 0)
                    return false;
        return true;
    }
    std::unordered_set<std::string_view> seen;
    for (const RawAttr& r : m_raw)
        if (!seen.insert(std::string_view(r.qname, r.qnameSize)).second)
            return false;
    return true;
}

bool PullReader::startTag(const char* p, const char* end)
{
    if (m_rootClosed)
        return false; // a second root element
    const bool empty = end > p && end[-1] == '/';
    if (empty)
        --end;
    const size_t qnameSize = nameLength(p, end);
    if (qnameSize == 0)
        return false;
    const char* qname = p;
    p += qnameSize;
    m_raw.clear();
    for (;;) {
        const char* blanks = p;
        while (p < end && isSpace(*p))
            ++p;
        if (p == end)
            break;
        if (p == blanks)
            return false;
        const size_t an = nameLength(p, end);
        if (an == 0)
            return false;
        const char* aq = p;
        p += an;
        while (p < end && isSpace(*p))
            ++p;
        if (p == end || *p != '=')
            return false;
        ++p;
        while (p < end && isSpace(*p))
            ++p;
        if (p == end || (*p != '"' && *p != '\''))
            return false;
        const char quote = *p++;
        const auto* close = static_cast<const char*>(std::memchr(p, quote, size_t(end - p)));
        if (!close)
            return false;
        const size_t from = m_arena.size();
        if (!decode(p, close, true))
            return false;
        m_raw.push_back({aq, an, Piece{from, m_arena.size() - from}});
        p = close + 1;
    }
    if (!distinctAttributes())
        return false;

    const size_t bindingsBefore = m_bindings.size();
    for (const RawAttr& r : m_raw) {
        const QByteArrayView q(r.qname, qsizetype(r.qnameSize));
        const QByteArrayView value = view(r.value);
        if (q == "xmlns") {
            m_bindings.push_back({std::string(), value.isEmpty() ? nullptr : intern(value.data(), size_t(value.size()))});
        } else if (q.startsWith("xmlns:")) {
            const QByteArrayView prefix = q.sliced(6);
            if (prefix.isEmpty() || value.isEmpty() || prefix == "xmlns" || prefix.contains(':'))
                return false;
            m_bindings.push_back({std::string(prefix.data(), size_t(prefix.size())), intern(value.data(), size_t(value.size()))});
        }
    }
    if (m_bindings.size() != bindingsBefore)
        for (Cached& c : m_cache)
            c.valid = false;
    if (m_uris.size() > kMaxNamespaces || m_bindings.size() > kMaxBindings)
        return false;

    Item item;
    item.type = StartElement;
    if (!resolve(qname, qnameSize, true, item.ns, item.name))
        return false;
    item.firstAttribute = m_attrs.size();
    for (const RawAttr& r : m_raw) {
        const QByteArrayView q(r.qname, qsizetype(r.qnameSize));
        if (q == "xmlns" || q.startsWith("xmlns:"))
            continue;
        Attr a;
        a.value = r.value;
        if (!resolve(r.qname, r.qnameSize, false, a.ns, a.name))
            return false;
        m_attrs.push_back(a);
    }
    item.endAttribute = m_attrs.size();
    m_items.push_back(item);

    m_openStarts.push_back(m_openNames.size());
    m_openNames.append(qname, qnameSize);
    m_openBindings.push_back(bindingsBefore);
    m_openNs.push_back(item.ns);
    m_rootSeen = true;
    if (empty) {
        Item endItem = item;
        endItem.type = EndElement;
        endItem.firstAttribute = endItem.endAttribute = 0;
        m_items.push_back(endItem);
        close();
    }
    return true;
}

bool PullReader::endTag(const char* p, const char* end)
{
    while (end > p && isSpace(end[-1]))
        --end;
    if (m_openStarts.empty())
        return false;
    const size_t start = m_openStarts.back();
    const size_t size = size_t(end - p);
    if (m_openNames.size() - start != size || std::memcmp(m_openNames.data() + start, p, size) != 0)
        return false;
    // The same name in the same scope as its start tag: its namespace is the one found then.
    Item item;
    item.type = EndElement;
    item.ns = m_openNs.back();
    const char* local = std::find(p, end, ':');
    item.name = local == end ? store(p, size) : store(local + 1, size_t(end - local - 1));
    m_items.push_back(item);
    close();
    return true;
}

// The innermost open element is closed: its name and its declarations go.
void PullReader::close()
{
    m_openNames.resize(m_openStarts.back());
    m_openStarts.pop_back();
    if (m_bindings.size() != m_openBindings.back()) {
        m_bindings.resize(m_openBindings.back());
        for (Cached& c : m_cache)
            c.valid = false;
    }
    m_openBindings.pop_back();
    m_openNs.pop_back();
    if (m_openStarts.empty())
        m_rootClosed = true;
}

// A processing instruction; the XML declaration only at the very start, in UTF-8.
bool PullReader::instruction(const char* p, const char* end)
{
    const size_t target = nameLength(p, end);
    if (target == 0)
        return false;
    const QByteArrayView name(p, qsizetype(target));
    if (name.compare("xml", Qt::CaseInsensitive) != 0)
        return true;
    if (name != "xml" || !m_declarationPlace)
        return false;
    const QByteArrayView declaration(p + target, end - p - qsizetype(target));
    const qsizetype at = declaration.indexOf("encoding");
    if (at < 0)
        return true;
    QByteArrayView rest = declaration.sliced(at + 8).trimmed();
    if (!rest.startsWith('='))
        return false;
    rest = rest.sliced(1).trimmed();
    if (rest.size() < 2 || (rest[0] != '"' && rest[0] != '\''))
        return false;
    const qsizetype close = rest.indexOf(rest[0], 1);
    if (close < 0)
        return false;
    const QByteArrayView encoding = rest.sliced(1, close - 1);
    return encoding.compare("UTF-8", Qt::CaseInsensitive) == 0 || encoding.compare("UTF8", Qt::CaseInsensitive) == 0;
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
    if ((m_type != StartElement && m_type != EndElement) || !current().ns)
        return QByteArrayView("");
    return QByteArrayView(*current().ns);
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
        if (matches(a.name, name) && (a.ns ? same(*a.ns, ns) : ns.isEmpty()))
            return view(a.value);
    }
    return {};
}

std::vector<PullReader::AttributeView> PullReader::Attributes() const
{
    std::vector<AttributeView> all;
    if (m_type != StartElement)
        return all;
    for (size_t i = current().firstAttribute; i < current().endAttribute; ++i) {
        const Attr& a = m_attrs[i];
        all.push_back({a.ns ? QByteArrayView(*a.ns) : QByteArrayView(""), view(a.name), view(a.value)});
    }
    return all;
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
    int depth = 1;
    while (depth > 0) {
        switch (ReadNext()) {
        case Characters:
            text += Text();
            break;
        case StartElement:
            if (includeChildren)
                ++depth;
            else
                SkipCurrentElement();
            break;
        case EndElement:
            --depth;
            break;
        default:
            return text; // the end of the stream or an error
        }
    }
    return text;
}

} // namespace sheets::xml
