// Engine lines of a pane: the evaluation, and its records laid into the
// pane's lines.

#include "ZtLineLib_Formula.h"
#include "FormulaResult.h"
#include "ZtSpareLists.h"

#include <CInputData.h>
#include <FormulaDrawType.h>
#include <PBDataChange.h>

#include <QRegularExpression>

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

// A list of size items, all value. Doubling by copies of what is already
// there moves whole blocks; appending item by item costs a call and a
// capacity check for every one.
template <typename T>
QList<T> filledList(int size, T value)
{
    QList<T> list;
    if (size <= 0)
        return list;
    list.reserve(size);
    list.append(value);
    while (list.size() < size)
        list.append(list.mid(0, std::min(list.size(), size - list.size())));
    return list;
}

// A list of size items with unspecified values: a spare one, else marker.
QList<float> listOfSize(int size, float marker)
{
    QList<float> list = ZtSpareLists::takeExact(size);
    return list.isEmpty() ? filledList(size, marker) : list;
}

QList<int> listOfSize(int size, int marker)
{
    return filledList(size, marker);
}

// An engine series of n items as a pane series: start markers in front,
// (count − length) markers after its first length items, the rest of it
// behind them; empty for a missing series.
template <typename T>
QList<T> paddedSeries(const T* data, int n, int start, int length, int count, T marker)
{
    if (!data || n <= 0)
        return QList<T>();
    start = std::max(start, 0);
    const int head = std::min(length, n);
    const int gap = std::max(count - length, 0);
    QList<T> list = listOfSize(start + n + gap, marker);
    auto out = list.begin();
    for (int i = 0; i < start; ++i, ++out)
        *out = marker;
    for (int i = 0; i < head; ++i, ++out)
        *out = data[i];
    for (int i = 0; i < gap; ++i, ++out)
        *out = marker;
    for (int i = head; i < n; ++i, ++out)
        *out = data[i];
    return list;
}

// Whether a definition uses a function whose value on a bar depends on later
// bars (or on the last one): a new bar may then change earlier values, so
// its series are taken whole. Drawings that join or extend between bars
// count as such too.
bool readsLaterBars(const QStringList& texts)
{
    static const QRegularExpression names(QStringLiteral(
        "\\b(BACKSET|BARSNEXT|CONST|CURRBARSCOUNT|TOTALBARSCOUNT|ISLASTBAR|REFX|REFX1|REFXV|"
        "REFDATE|XMA|ZIG|PEAK|PEAKBARS|TROUGH|TROUGHBARS|FILTERX|DRAWLINE|POLYLINE|PLOYLINE|"
        "DRAWSL|HORLINE|PARTLINE|DRAWBAND|FILLRGN|DRAWGBK|DRAWNUMBER_FIX|DRAWTEXT_FIX)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    for (const QString& text : texts) {
        if (text.contains(names))
            return true;
    }
    return false;
}

} // namespace

class ZtLineLib_Formula::EngineLines : public FormulaResultBase
{
public:
    // from ≥ 0: the lines hold the last evaluation's series, which are
    // replaced from record from on only.
    EngineLines(ZtLineLib_Formula* pane, int start, int length, int count, int from = -1)
        : m_pane(pane), m_start(start), m_length(length), m_count(count), m_from(from)
    {
    }

    void parseFromFline(tagFLINES& flines) override
    {
        // A failed evaluation may say why in a record of its own.
        if (flines.count == 1 && flines.lines && flines.lines[0].drawType == eFormulaError) {
            m_pane->m_lastFormulaError = QString::fromLocal8Bit(flines.lines[0].text);
            return;
        }
        lineCount = flines.count;
        if (m_from >= 0)
            m_pane->spliceFlines(flines, m_start, m_length, m_count, m_from);
        else
            m_pane->createByFlines(flines, m_start, m_length, m_count);
    }

private:
    ZtLineLib_Formula* m_pane;
    int m_start;
    int m_length;
    int m_count;
    int m_from;
};

void ZtLineLib_Formula::computeByEngine(int start, int length)
{
    const CFormulaClass definition = getCFormulaParams(m_formulaType);
    m_params = definition.paramValues;

    std::string name = helpFormulaTypeToQString(m_formulaType).toStdString();
    if (name.empty())
        return;
    // The same bars and the same formula give the same lines: only a change
    // of the data, the span, the definition or the theme needs the engine.
    const QStringList texts = QStringList{definition.text1, definition.text2, definition.text3,
                                          definition.text4, definition.text5, definition.text6}
                              + definition.paramNames;
    m_splicedAttributes.clear();
    const quint64 input = ZtEngineCache::fingerprint(m_data, start, length, texts, m_params);
    if (!m_engineCache.restore(input, &m_formulaLines)) {
        m_engineCache.clear();
        if (!evaluate(name, start, length)) {
            // An engine that gives no reason still leaves one for the host.
            if (m_lastFormulaError.isEmpty())
                m_lastFormulaError = QStringLiteral("the formula engine could not evaluate %1")
                                         .arg(QString::fromStdString(name));
            m_liveValid = false;
            return;
        }
        m_engineCache.store(input, m_formulaLines);
    }
    m_liveValid = true;
    if (m_formulaType == eFT_MA)
        applyMaThemeColors();
    // Each record's extremes, so that a later window or tick reads two
    // numbers a record for the range.
    m_formulaLines.noteRowsFrom(0);
    widenOverRows();
}

bool ZtLineLib_Formula::evaluate(std::string& name, int start, int length)
{
    // The bars stay for the next evaluation, which converts only a changed
    // tail into them.
    m_engineInput = CInputData();
    m_engineInput.days = PBDataChange::LBDG_TagDayVector(m_data, start, length);
    // The lines are made while the engine hands its records over, already
    // aligned with the records of the data.
    EngineLines result(this, start, length, m_data->count());
    return m_moduleFormular.ComputeDayFormular(name, m_engineInput, 1, 0, &result);
}

void ZtLineLib_Formula::createByFlines(const tagFLINES& flines, int start, int length, int count)
{
    if (flines.count <= 0 || !flines.lines)
        return;
    QList<float> maParams;
    if (m_formulaType == eFT_MA)
        maParams = getCFormulaParamsAll(helpFormulaTypeToQString(m_formulaType)).paramValues;
    const float marker = float(kZtNoValue);
    for (int j = 0; j < flines.count; ++j) {
        // An average whose stored parameter is 0 is switched off.
        if (m_formulaType == eFT_MA && j < maParams.size() && maParams.at(j) == 0.0f)
            continue;
        const tagFLINE& f = flines.lines[j];
        // Everything but the series goes the way of createByFormulaResult.
        LineData d = FormulaResult::attributesOf(f);
        Formulas::formulaLine line;
        line.showValue = true;
        line.useDrawRoutines = true;
        createByTagDay(&line, &d);
        const int n = d.count;
        line.values = paddedSeries(f.data1, n, start, length, count, marker);
        line.values2 = paddedSeries(f.data2, n, start, length, count, marker);
        line.values3 = paddedSeries(f.data3, n, start, length, count, marker);
        line.values4 = paddedSeries(f.data4, n, start, length, count, marker);
        line.colors = paddedSeries(f.colorCodes, n, start, length, count, 0);
        m_formulaLines.appendLine(line);
    }
}


void ZtLineLib_Formula::recycleLines()
{
    for (int i = 0; i < m_formulaLines.lineCount(); ++i) {
        Formulas::formulaLine* line = m_formulaLines.lineAt(i);
        for (QList<float>* series : {&line->values, &line->values2, &line->values3, &line->values4})
            ZtSpareLists::keep(*series);
    }
}

void ZtLineLib_Formula::continueByEngine(int from, int start, int length)
{
    // The definition is the one of the last computation (the pane continues
    // only then); reading it again from the store would convert its texts.
    m_params = m_liveInputs.params;
    if (from >= 0) {
        std::string name = helpFormulaTypeToQString(m_formulaType).toStdString();
        // The engine's lines share their lists with the kept evaluation;
        // changing them would copy every list.
        m_engineCache.clear();
        // The bars of the unchanged records stay; the changed tail is
        // converted and appended.
        std::vector<TagDay>& days = m_engineInput.days;
        const int keep = std::clamp(from - start, 0, std::min<int>(length, int(days.size())));
        days.erase(days.begin() + keep, days.end());
        if (length > keep) {
            std::vector<TagDay> tail = PBDataChange::LBDG_TagDayVector(m_data, start + keep,
                                                                       length - keep);
            days.insert(days.end(), std::make_move_iterator(tail.begin()),
                        std::make_move_iterator(tail.end()));
        }
        // Series that may change before the tail are replaced whole (the
        // markers before the span stay what they are).
        if (!(m_laterBarsTexts == m_liveInputs.texts)) {
            m_laterBarsTexts = m_liveInputs.texts;
            m_readsLaterBars = readsLaterBars(m_laterBarsTexts);
        }
        const int spliceFrom = m_readsLaterBars ? start : start + keep;
        EngineLines result(this, start, length, m_data->count(), spliceFrom);
        if (!m_moduleFormular.ComputeDayFormular(name, m_engineInput, 1, 0, &result)) {
            if (m_lastFormulaError.isEmpty())
                m_lastFormulaError = QStringLiteral("the formula engine could not evaluate %1")
                                         .arg(QString::fromStdString(name));
            recycleLines();
            m_formulaLines.clearLines();
            m_liveValid = false;
            return;
        }
        if (m_formulaType == eFT_MA)
            applyMaThemeColors();
        m_formulaLines.noteRowsFrom(spliceFrom);
    }
    widenOverRows();
}

void ZtLineLib_Formula::widenOverRows()
{
    // resetMaxMinValue over the extremes each record keeps.
    if (!m_data || m_data->count() == 0)
        return;
    double lo, hi;
    m_formulaLines.rowRangeOverWindow(m_dataShowIndex, m_dataShowLength, &lo, &hi);
    if (!ztIsNoValue(lo))
        m_minValue = std::min(lo, m_minValue);
    if (!ztIsNoValue(hi))
        m_maxValue = std::max(hi, m_maxValue);
}
