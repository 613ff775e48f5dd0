#include "pdf/PdfSharedContent.h"

#include <algorithm>
#include <vector>

namespace {

qsizetype commonPrefix(const QByteArray& a, const QByteArray& b)
{
    const qsizetype n = std::min(a.size(), b.size());
    const auto [pa, pb] = std::mismatch(a.constData(), a.constData() + n, b.constData());
    return qsizetype(pa - a.constData());
}

} // namespace

std::optional<SharedRun> FindSharedRun(const QList<QByteArray>& contents)
{
    if (contents.size() < 2)
        return std::nullopt;
    const QByteArray& first = contents.first();
    qsizetype common = first.size();
    for (qsizetype i = 1; i < contents.size(); ++i)
        common = std::min(common, commonPrefix(first, contents[i]));
    std::optional<SharedRun> best;
    // Per depth: where the open group began on a line of its own (-1: it did not), where
    // the current run of adjoining groups began, and where its last group ended (-1: no
    // group ended there just before).
    struct Level
    {
        qsizetype groupStart = -1;
        qsizetype runStart = -1;
        qsizetype lastEnd = -1;
    };
    std::vector<Level> levels(1);
    auto open = [&](qsizetype groupStart) {
        levels.back().groupStart = groupStart;
        levels.emplace_back();
    };
    // Closes the open group; returns the level it was opened at, or nothing at depth 0.
    auto close = [&]() -> Level* {
        if (levels.size() < 2)
            return nullptr;
        levels.pop_back();
        return &levels.back();
    };
    for (qsizetype line = 0; line < common;) {
        const qsizetype newline = first.indexOf('\n', line);
        if (newline < 0)
            break;
        const qsizetype next = newline + 1;
        const QByteArrayView text = QByteArrayView(first).sliced(line, newline - line);
        // A literal string could hold anything, "q" and "Q" too: no run goes past it.
        if (text.contains('('))
            break;
        if (text == "q") {
            Level& l = levels.back();
            if (l.lastEnd != line)
                l.runStart = line;  // not adjoining the group before it: a new run
            open(line);
        } else if (text == "Q") {
            Level* l = close();
            if (!l)
                break;
            if (l->groupStart >= 0 && l->runStart >= 0 && next <= common) {
                l->lastEnd = next;
                const SharedRun run{l->runStart, next};
                if (!best || run.End - run.Start > best->End - best->Start)
                    best = run;
            } else {
                l->lastEnd = -1;
            }
        } else {
            // Anything else ends the run at its depth; a "q" or "Q" among other operators
            // changes the depth without a group of its own.
            levels.back().lastEnd = -1;
            qsizetype from = 0;
            while (from <= text.size()) {
                qsizetype to = text.indexOf(' ', from);
                if (to < 0)
                    to = text.size();
                const QByteArrayView token = text.sliced(from, to - from);
                if (token == "q") {
                    open(-1);
                } else if (token == "Q") {
                    if (Level* l = close())
                        l->lastEnd = -1;
                }
                from = to + 1;
            }
        }
        line = next;
    }
    return best;
}

std::optional<QByteArray> CallSharedRun(const QByteArray& content, const QByteArray& model, const SharedRun& run,
                                        const QByteArray& formName)
{
    if (run.End > model.size() || !content.startsWith(QByteArrayView(model).first(run.End)))
        return std::nullopt;
    return content.left(run.Start) + formName + " Do\n" + content.mid(run.End);
}
