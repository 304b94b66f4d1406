#pragma once

#include "Formulas.h"

#include <QList>
#include <QStringList>

// The lines of a pane's last formula-engine evaluation and a fingerprint of
// what they were computed from. Turning 100,000 bars into the engine's bar
// records costs many times the evaluation itself, while a pane is computed
// again on every change of its window (scrolling, zooming) with data and
// formula unchanged; it then takes the lines of the last evaluation again.
class ZtEngineCache
{
public:
    // The input of one evaluation: the list's size, the computed span, the
    // key and every quote field of each record in it, the stored definition
    // (its texts and parameter names, and the parameter values) and the theme
    // colours the engine's lines take.
    static quint64 fingerprint(const ZtUIDataStruct::DQDDataList* list, int start, int length,
                               const QStringList& definitionTexts, const QList<float>& params);

    // Appends the kept lines to into when they were made from an input of
    // this fingerprint.
    bool restore(quint64 fingerprint, Formulas* into) const;
    void store(quint64 fingerprint, const Formulas& lines);
    void clear();

private:
    quint64 m_fingerprint = 0;
    bool m_valid = false;
    QList<Formulas::formulaLine> m_lines;
};
