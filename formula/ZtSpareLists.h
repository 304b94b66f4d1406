#pragma once

#include <QList>

// Value lists of lines that panes dropped, kept for the next lines. A pane
// recomputes its lines over the same records again and again; a list of
// that size taken from here needs neither an allocation nor the page faults
// of fresh memory, which on long data cost more than filling it. Only lists
// nobody else shares are kept, at most a few. GUI thread only, like every
// pane call.
class ZtSpareLists
{
public:
    // Keeps list's storage when nobody else holds it; list is empty after.
    static void keep(QList<float>& list);
    // A spare list of exactly size items with unspecified values; empty
    // when there is none.
    static QList<float> takeExact(int size);
    // An empty list with room for at least size items, spare or new.
    static QList<float> takeEmpty(int size);
};
