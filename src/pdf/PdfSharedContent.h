#pragma once
#include <QByteArray>
#include <QList>

#include <optional>

// A part of a page's content that other pages repeat byte for byte (a series' sender and
// banner) can be kept once, as a form that each page only calls. These find that part and
// put the call in its place; the content is what Qt's PDF writer makes: one operator or
// one "q"/"Q" per line, glyphs as hex strings.

// Where a run of whole graphics-state groups ("q" line ... matching "Q" line, one after the
// other at one depth) lies that all the contents hold at the same place, after a beginning
// they share too: the longest such run. Nothing when they share no whole group or fewer
// than two are given.
struct SharedRun
{
    qsizetype Start = 0;  // where the first group begins
    qsizetype End = 0;    // just past the last group's "Q" line
};
std::optional<SharedRun> FindSharedRun(const QList<QByteArray>& contents);

// The content with the run of model (as FindSharedRun found it there) replaced by a call
// of the form named formName ("/Name Do"); nothing when content does not begin with
// everything model holds up to the run's end.
std::optional<QByteArray> CallSharedRun(const QByteArray& content, const QByteArray& model, const SharedRun& run,
                                        const QByteArray& formName);
