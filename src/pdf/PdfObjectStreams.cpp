#include "pdf/PdfObjectStreams.h"

#include "pdf/PdfFileParts.h"
#include "pdf/PdfSharedContent.h"

#include <QBuffer>
#include <QList>
#include <QRegularExpression>

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

namespace {

void putBigEndian(QByteArray& out, quint64 value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

class Packer
{
public:
    Packer(QIODevice& in, QIODevice& out, const PdfPackOptions& options, const PdfPackStep& step)
        : m_in(in), m_out(out), m_options(options), m_step(step)
    {
    }

    PdfPackResult Run()
    {
        const auto table = ReadPdfXrefTable(m_in);
        if (!table)
            return PdfPackResult::Unreadable;
        m_table = *table;
        m_entries.assign(m_table.offsets.size(), Entry{});
        m_dropped.assign(m_table.offsets.size(), false);
        m_next = int(m_table.offsets.size());
        if (m_options.ShareRepeatedContent) {
            m_resourcesOf.assign(m_table.offsets.size(), -1);
            m_resourcesState.assign(m_table.offsets.size(), kPlain);
        }

        // The objects in the order they lie in the file.
        std::vector<int> order;
        for (size_t n = 0; n < m_table.offsets.size(); ++n)
            if (m_table.offsets[n] >= 0)
                order.push_back(int(n));
        const auto offsetOf = [&](int n) { return m_table.offsets[size_t(n)]; };
        std::sort(order.begin(), order.end(), [&](int a, int b) { return offsetOf(a) < offsetOf(b); });
        if (order.empty())
            return PdfPackResult::Unreadable;

        if (!put(QByteArray("%PDF-1.5\n%\xE2\xE3\xCF\xD3\n")))
            return PdfPackResult::WriteFailed;
        for (size_t i = 0; i < order.size(); ++i) {
            const int n = order[i];
            const qint64 offset = offsetOf(n);
            const qint64 end = i + 1 < order.size() ? offsetOf(order[i + 1]) : m_table.xref;
            if (m_step && !m_step(offset, m_table.xref))
                return PdfPackResult::Stopped;
            if (m_dropped[size_t(n)])
                continue;
            const auto object = ReadPdfObject(m_in, offset, end);
            if (!object)
                return PdfPackResult::Unreadable;
            const PdfPackResult r = object->stream ? putStream(n, *object) : takePlain(n, object->dict);
            if (r != PdfPackResult::Packed)
                return r;
        }
        // Fewer pages than the sample.
        if (!m_held.empty() && decideAndFlush() != PdfPackResult::Packed)
            return PdfPackResult::WriteFailed;
        // Resources of pages whose content never came.
        while (!m_heldResources.empty()) {
            const auto [r, dict] = *m_heldResources.begin();
            m_heldResources.erase(m_heldResources.begin());
            m_resourcesState[size_t(r)] = kPlain;
            if (!addPlain(r, dict))
                return PdfPackResult::WriteFailed;
        }
        // A form whose pages all had their resources written before it was made.
        if (m_form >= 0 && !written(m_formResources) && !addPlain(m_formResources, "<<\n>>"))
            return PdfPackResult::WriteFailed;
        for (auto& [n, dict] : m_fonts)
            if (!addPlain(n, tagged(n, dict)))
                return PdfPackResult::WriteFailed;
        if (!flushBatch() || !putCrossReference())
            return PdfPackResult::WriteFailed;
        return PdfPackResult::Packed;
    }

private:
    struct Entry
    {
        qint64 field2 = 0;
        qint32 field3 = 0;
        qint8 type = 0;  // 0 free, 1 at an offset, 2 in an object stream
    };

    bool put(const QByteArray& bytes)
    {
        if (m_out.write(bytes) != bytes.size())
            return false;
        m_written += bytes.size();
        return true;
    }

    void setEntry(int n, const Entry& e)
    {
        if (size_t(n) >= m_entries.size())
            m_entries.resize(size_t(n) + 1);
        m_entries[size_t(n)] = e;
    }

    bool written(int n) const { return size_t(n) < m_entries.size() && m_entries[size_t(n)].type != 0; }

    // The stream with its length written directly; an object that only held the length
    // and is not written yet is left out.
    PdfPackResult putStream(int n, PdfObject o)
    {
        static const QRegularExpression lengthRef(QStringLiteral("/Length (\\d+) 0 R"));
        static const QRegularExpression lengthDirect(QStringLiteral("/Length (\\d+)\\b(?! 0 R)"));
        qint64 length = -1;
        if (const auto holder = PdfReferenceAfter(o.dict, lengthRef)) {
            if (*holder <= 0 || size_t(*holder) >= m_table.offsets.size() || m_table.offsets[size_t(*holder)] < 0)
                return PdfPackResult::Unreadable;
            const qint64 at = m_table.offsets[size_t(*holder)];
            const auto value = ReadPdfObject(m_in, at, std::min(at + 64, m_table.xref));
            if (!value || value->stream)
                return PdfPackResult::Unreadable;
            bool ok = false;
            length = value->dict.toLongLong(&ok);
            if (!ok)
                return PdfPackResult::Unreadable;
            o.dict.replace(QByteArray("/Length ") + QByteArray::number(*holder) + " 0 R",
                           QByteArray("/Length ") + QByteArray::number(length));
            if (!written(*holder))
                m_dropped[size_t(*holder)] = true;
        } else if (const auto direct = PdfReferenceAfter(o.dict, lengthDirect)) {
            length = *direct;
        }
        if (length < 0 || length > o.data.size())
            return PdfPackResult::Unreadable;
        o.data.truncate(length);
        if (m_options.ShareRepeatedContent && resourcesOf(n) > 0)
            return putPageContent(n, std::move(o));
        return writeStream(n, o.dict, o.data);
    }

    PdfPackResult writeStream(int n, const QByteArray& dict, const QByteArray& data)
    {
        setEntry(n, {m_written, 0, 1});
        if (!put(QByteArray::number(n) + " 0 obj\n" + dict + "\nstream\n" + data + "\nendstream\nendobj\n"))
            return PdfPackResult::WriteFailed;
        return PdfPackResult::Packed;
    }

    int resourcesOf(int content) const
    {
        return size_t(content) < m_resourcesOf.size() ? m_resourcesOf[size_t(content)] : -1;
    }

    // A page's content: the first few are held until they show what all of them begin with
    // alike; then each page that begins so calls the shared form instead.
    PdfPackResult putPageContent(int n, PdfObject o)
    {
        static const QRegularExpression plainDict(
            QStringLiteral("^<<\\s*(/Length \\d+\\s*/Filter /FlateDecode|/Filter /FlateDecode\\s*/Length \\d+)\\s*>>$"));
        std::optional<QByteArray> content;
        if (plainDict.match(QString::fromLatin1(o.dict)).hasMatch())
            content = PdfInflate(o.data);
        if (!content) {
            if (writeStream(n, o.dict, o.data) != PdfPackResult::Packed)
                return PdfPackResult::WriteFailed;
            return releaseResources(resourcesOf(n), false);
        }
        if (m_decided)
            return putMaybeShared(n, o, *content);
        m_held.push_back({n, std::move(o), *content});
        // Enough pages that a line only some addresses share (a salutation) stays out of
        // the form, few enough to hold.
        constexpr size_t kSample = 8;
        return m_held.size() < kSample ? PdfPackResult::Packed : decideAndFlush();
    }

    PdfPackResult decideAndFlush()
    {
        m_decided = true;
        QList<QByteArray> contents;
        for (const HeldContent& h : m_held)
            contents << h.content;
        const auto run = FindSharedRun(contents);
        // Too little to be worth a form of its own.
        constexpr qsizetype kWorth = 64;
        if (run && run->End - run->Start >= kWorth) {
            m_run = *run;
            m_model = m_held.front().content.left(run->End);
            m_form = m_next++;
            m_formResources = m_next++;
            if (!putForm())
                return PdfPackResult::WriteFailed;
        }
        std::vector<HeldContent> held;
        held.swap(m_held);
        for (const HeldContent& h : held)
            if (putMaybeShared(h.n, h.object, h.content) != PdfPackResult::Packed)
                return PdfPackResult::WriteFailed;
        return PdfPackResult::Packed;
    }

    bool putForm()
    {
        if (m_form < 0)
            return true;
        const QByteArray body = PdfFlate(m_model.mid(m_run.Start, m_run.End - m_run.Start));
        setEntry(m_form, {m_written, 0, 1});
        // The form draws where the page stands when it calls it: its box takes anything.
        return put(QByteArray::number(m_form) + " 0 obj\n<<\n/Type /XObject\n/Subtype /Form\n/BBox [-100000 -100000 "
                   "100000 100000]\n/Resources " + QByteArray::number(m_formResources) +
                   " 0 R\n/Filter /FlateDecode\n/Length " + QByteArray::number(body.size()) + "\n>>\nstream\n" + body +
                   "\nendstream\nendobj\n");
    }

    // The content, calling the form where it begins as the first page did, then its page's
    // resources, which wait for it.
    PdfPackResult putMaybeShared(int n, const PdfObject& o, const QByteArray& content)
    {
        const int resources = resourcesOf(n);
        if (m_form >= 0 && !written(resources)) {
            if (const auto called = CallSharedRun(content, m_model, m_run, kFormName)) {
                const QByteArray packed = PdfFlate(*called);
                if (writeStream(n, "<<\n/Filter /FlateDecode\n/Length " + QByteArray::number(packed.size()) + "\n>>",
                                packed) != PdfPackResult::Packed)
                    return PdfPackResult::WriteFailed;
                return releaseResources(resources, true);
            }
        }
        if (writeStream(n, o.dict, o.data) != PdfPackResult::Packed)
            return PdfPackResult::WriteFailed;
        return releaseResources(resources, false);
    }

    // Settles whether a page's resources name the form, and writes them when they came
    // already.
    PdfPackResult releaseResources(int r, bool callsForm)
    {
        if (r <= 0 || size_t(r) >= m_resourcesState.size())
            return PdfPackResult::Packed;
        m_resourcesState[size_t(r)] = callsForm ? kCallsForm : kPlain;
        const auto held = m_heldResources.find(r);
        if (held == m_heldResources.end())
            return PdfPackResult::Packed;
        const QByteArray dict = held->second;
        m_heldResources.erase(held);
        return takePlain(r, dict);
    }

    PdfPackResult takePlain(int n, QByteArray dict)
    {
        static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![A-Za-z])"));
        static const QRegularExpression descriptor(QStringLiteral("/Type\\s*/FontDescriptor\\b"));
        static const QRegularExpression fontName(QStringLiteral("/FontName\\s*/([^\\s/<>\\[\\]()]+)"));
        static const QRegularExpression descriptorRef(QStringLiteral("/FontDescriptor\\s+(\\d+) 0 R"));
        static const QRegularExpression descendant(QStringLiteral("/DescendantFonts\\s*\\[\\s*(\\d+) 0 R"));
        static const QRegularExpression cidFont(QStringLiteral("/Subtype\\s*/(CIDFontType[02]|Type0)\\b"));
        const QString text = QString::fromLatin1(dict);
        if (m_options.ShareRepeatedContent) {
            const qint8 state = m_resourcesState[size_t(n)];
            if (state == kAwaitingContent) {
                // A page's resources wait for its content, which decides whether they name
                // the form.
                m_heldResources[n] = dict;
                return PdfPackResult::Packed;
            }
            if (state == kCallsForm) {
                if (!written(m_formResources) && !addPlain(m_formResources, dict))
                    return PdfPackResult::WriteFailed;
                const auto withForm = callableForm(dict);
                if (!withForm)
                    return PdfPackResult::Unreadable;
                return addPlain(n, *withForm) ? PdfPackResult::Packed : PdfPackResult::WriteFailed;
            }
            if (page.match(text).hasMatch()) {
                static const QRegularExpression contents(QStringLiteral("/Contents (\\d+) 0 R"));
                static const QRegularExpression resources(QStringLiteral("/Resources (\\d+) 0 R"));
                const auto c = PdfReferenceAfter(dict, contents);
                const auto r = PdfReferenceAfter(dict, resources);
                if (c && r && *c > 0 && size_t(*c) < m_resourcesOf.size() && *r > 0 &&
                    size_t(*r) < m_resourcesState.size() && !written(*r) && !written(*c)) {
                    m_resourcesOf[size_t(*c)] = *r;
                    m_resourcesState[size_t(*r)] = kAwaitingContent;
                }
            }
        }
        if (m_options.TurnPages && page.match(text).hasMatch() && !dict.contains("/Rotate")) {
            const qsizetype close = dict.lastIndexOf(">>");
            if (close >= 0)
                dict.insert(close, "/Rotate 90\n");
        }
        if (descriptor.match(text).hasMatch()) {
            const auto m = fontName.match(text);
            if (m.hasMatch())
                m_fontNames[n] = m.captured(1).toLatin1();
        }
        if (cidFont.match(text).hasMatch()) {
            // Named once every descriptor is known; fonts are few.
            if (const auto d = PdfReferenceAfter(dict, descriptorRef))
                m_descriptorOf[n] = *d;
            if (const auto d = PdfReferenceAfter(dict, descendant))
                m_descendantOf[n] = *d;
            m_fonts.emplace_back(n, dict);
            return PdfPackResult::Packed;
        }
        return addPlain(n, dict) ? PdfPackResult::Packed : PdfPackResult::WriteFailed;
    }

    // A page's resources with the shared form among its pictures and forms.
    std::optional<QByteArray> callableForm(QByteArray dict) const
    {
        const QByteArray entry = kFormName + ' ' + QByteArray::number(m_form) + " 0 R\n";
        const qsizetype key = dict.indexOf("/XObject");
        if (key < 0) {
            const qsizetype close = dict.lastIndexOf(">>");
            if (close < 0)
                return std::nullopt;
            return dict.insert(close, "/XObject <<\n" + entry + ">>\n");
        }
        qsizetype open = key + 8;
        while (open < dict.size() && QByteArrayView(" \r\n\t").contains(dict[open]))
            ++open;
        if (!dict.mid(open, 2).startsWith("<<"))
            return std::nullopt;  // a dictionary of its own elsewhere: not what Qt writes
        return dict.insert(open + 2, "\n" + entry);
    }

    // A Type0 font or its CID font with the name its descriptor gives the subset.
    QByteArray tagged(int n, QByteArray dict) const
    {
        int font = n;
        if (const auto d = m_descendantOf.find(n); d != m_descendantOf.end())
            font = d->second;
        const auto descriptor = m_descriptorOf.find(font);
        if (descriptor == m_descriptorOf.end())
            return dict;
        const auto name = m_fontNames.find(descriptor->second);
        if (name == m_fontNames.end())
            return dict;
        const QByteArray full = name->second;
        const qsizetype plus = full.indexOf('+');
        if (plus != 6)
            return dict;
        const QByteArray base = full.mid(plus + 1);
        static const QRegularExpression baseFont(QStringLiteral("/BaseFont\\s*/([^\\s/<>\\[\\]()]+)"));
        const auto m = baseFont.match(QString::fromLatin1(dict));
        if (m.hasMatch() && m.captured(1).toLatin1() == base)
            dict.replace(m.capturedStart(1), m.capturedLength(1), full);
        return dict;
    }

    bool addPlain(int n, const QByteArray& dict)
    {
        if (m_batch.isEmpty())
            m_batchNumber = m_next++;
        m_index += QByteArray::number(n) + ' ' + QByteArray::number(m_bodies.size()) + ' ';
        m_bodies += dict + '\n';
        setEntry(n, {m_batchNumber, qint32(m_batch.size()), 2});
        m_batch << n;
        // Object streams of a bounded size, so a reader never unpacks much to reach one page.
        constexpr int kPerStream = 500;
        return m_batch.size() < kPerStream || flushBatch();
    }

    bool flushBatch()
    {
        if (m_batch.isEmpty())
            return true;
        const QByteArray index = m_index + '\n';
        const QByteArray packed = PdfFlate(index + m_bodies);
        setEntry(m_batchNumber, {m_written, 0, 1});
        const bool ok = put(QByteArray::number(m_batchNumber) + " 0 obj\n<<\n/Type /ObjStm\n/N " +
                            QByteArray::number(m_batch.size()) + "\n/First " + QByteArray::number(index.size()) +
                            "\n/Filter /FlateDecode\n/Length " + QByteArray::number(packed.size()) + "\n>>\nstream\n" +
                            packed + "\nendstream\nendobj\n");
        m_batch.clear();
        m_index.clear();
        m_bodies.clear();
        return ok;
    }

    bool putCrossReference()
    {
        const int xrefNumber = m_next++;
        const qint64 xrefOffset = m_written;
        setEntry(xrefNumber, {xrefOffset, 0, 1});
        const int width = xrefOffset > 0xFFFFFFFFLL ? 8 : 4;
        QByteArray table;
        for (int n = 0; n < m_next; ++n) {
            const Entry entry = n == 0 ? Entry{0, 0xFFFF, 0} : m_entries[size_t(n)];
            putBigEndian(table, quint64(entry.type), 1);
            putBigEndian(table, quint64(entry.field2), width);
            putBigEndian(table, quint64(entry.field3), 2);
        }
        const QByteArray packed = PdfFlate(table);
        return put(QByteArray::number(xrefNumber) + " 0 obj\n<<\n/Type /XRef\n/Size " + QByteArray::number(m_next) +
                   "\n/W [1 " + QByteArray::number(width) + " 2]\n/Root " + QByteArray::number(m_table.root) +
                   " 0 R\n" +
                   (m_table.info > 0 && written(m_table.info) ? "/Info " + QByteArray::number(m_table.info) + " 0 R\n"
                                                              : QByteArray()) +
                   "/Filter /FlateDecode\n/Length " + QByteArray::number(packed.size()) + "\n>>\nstream\n" + packed +
                   "\nendstream\nendobj\nstartxref\n" + QByteArray::number(xrefOffset) + "\n%%EOF\n");
    }

    QIODevice& m_in;
    QIODevice& m_out;
    const PdfPackOptions& m_options;
    const PdfPackStep& m_step;
    PdfXrefTable m_table;
    std::vector<Entry> m_entries;
    std::vector<bool> m_dropped;
    int m_next = 0;
    qint64 m_written = 0;

    QList<int> m_batch;
    int m_batchNumber = 0;
    QByteArray m_index, m_bodies;

    struct HeldContent
    {
        int n;
        PdfObject object;
        QByteArray content;
    };
    static inline const QByteArray kFormName = QByteArrayLiteral("/TavistoRepeated");
    static constexpr qint8 kPlain = 0, kAwaitingContent = 1, kCallsForm = 2;
    std::vector<int> m_resourcesOf;        // by page content: its page's resources
    std::vector<qint8> m_resourcesState;  // by object: what a page's resources wait for
    std::vector<HeldContent> m_held;
    std::map<int, QByteArray> m_heldResources;
    bool m_decided = false;
    SharedRun m_run;
    QByteArray m_model;  // the first page's content up to the run's end: how pages must begin
    int m_form = -1;
    int m_formResources = -1;

    std::vector<std::pair<int, QByteArray>> m_fonts;
    std::map<int, QByteArray> m_fontNames;  // descriptor -> its font name
    std::map<int, int> m_descriptorOf;      // CID font -> descriptor
    std::map<int, int> m_descendantOf;      // Type0 font -> CID font
};

} // namespace

PdfPackResult PackPdfObjects(QIODevice& in, QIODevice& out, const PdfPackOptions& options, const PdfPackStep& step)
{
    return Packer(in, out, options, step).Run();
}

QByteArray PackPdfObjects(const QByteArray& pdf, const PdfPackOptions& options)
{
    QByteArray copy = pdf;
    QBuffer in(&copy);
    in.open(QIODevice::ReadOnly);
    QByteArray packed;
    QBuffer out(&packed);
    out.open(QIODevice::WriteOnly);
    return PackPdfObjects(in, out, options) == PdfPackResult::Packed ? packed : pdf;
}
