// Continued computations: a moved window or a changed tail of the records
// brings the lines up to date without computing them from the first record.

#include "ZtLineLib_Formula.h"

#include "FormulaResult.h"

#include <DQDFieldId.h>
#include <PBDataChange.h>
#include <PubCacheCustom.h>


#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

bool isPriceType(ZtLineLib_Formula::enumFormulaType type)
{
    switch (type) {
    case ZtLineLib_Formula::eFT_DLINE:
    case ZtLineLib_Formula::eFT_KLINE:
    case ZtLineLib_Formula::eFT_VOL:
    case ZtLineLib_Formula::eFT_DLINEVOL:
    case ZtLineLib_Formula::eFT_CLOSE: return true;
    default: return false;
    }
}

// Position p of an engine series laid out as the pane's series (start
// markers, its first length items, count − length markers, the rest).
template <typename T>
T paddedAt(const T* data, int items, int start, int length, int count, int p, T marker)
{
    const int head = std::min(length, items);
    const int gap = std::max(count - length, 0);
    const int q = p - start;
    if (q < 0)
        return marker;
    if (q < head)
        return data[q];
    if (q < head + gap)
        return marker;
    return data[q - gap];
}

// Replaces series' entries from position from on by those of the engine
// series; the entries before it are kept (the engine gives them unchanged).
template <typename T>
void spliceSeries(QList<T>& series, const T* data, int items, int start, int length, int count,
                  int from, T marker)
{
    if (!data || items <= 0) {
        series.clear();
        return;
    }
    start = std::max(start, 0);
    const int total = start + items + std::max(count - length, 0);
    // A series the last evaluation did not give is laid out whole.
    const int keep = series.size() < from ? 0 : from;
    if (series.size() > keep)
        series.erase(series.begin() + keep, series.end());
    for (int p = keep; p < total; ++p)
        series.append(paddedAt(data, items, start, length, count, p, marker));
}

// The fields createByTagDay makes a line's attributes of (not the series,
// nor the count of bars).
bool sameAttributes(const LineData& a, const LineData& b)
{
    return a.name == b.name && a.text == b.text && a.drawType == b.drawType
           && a.param1 == b.param1 && a.param2 == b.param2 && a.lineWidth == b.lineWidth
           && a.color == b.color && a.lineStyle == b.lineStyle
           && a.colorCodes == b.colorCodes && a.stripColor.enable == b.stripColor.enable
           && a.stripColor.color1 == b.stripColor.color1
           && a.stripColor.color2 == b.stripColor.color2
           && a.stripColor.color3 == b.stripColor.color3 && a.rect.valid == b.rect.valid
           && a.rect.top == b.rect.top && a.rect.left == b.rect.left
           && a.rect.bottom == b.rect.bottom && a.rect.right == b.rect.right;
}

// Every field of a stored definition alike (floats by their bits).
bool sameContent(const TagFormularContent& a, const TagFormularContent& b)
{
    return std::equal(std::begin(a.texts), std::end(a.texts), std::begin(b.texts))
           && std::equal(std::begin(a.paramNames), std::end(a.paramNames), std::begin(b.paramNames))
           && a.paramCount == b.paramCount
           && std::memcmp(a.params, b.params, sizeof a.params) == 0
           && std::memcmp(a.numbers, b.numbers, sizeof a.numbers) == 0;
}

} // namespace

bool ZtLineLib_Formula::LiveInputs::operator==(const LiveInputs& o) const
{
    return data == o.data && type == o.type && prec == o.prec && isDLine == o.isDLine
           && showJHJJ == o.showJHJJ && showDRFS == o.showDRFS && spanStart == o.spanStart
           && params == o.params && texts == o.texts && ydcmKey == o.ydcmKey
           && ydcmCount == o.ydcmCount && ydcmRatio == o.ydcmRatio
           && ydcmPeriods == o.ydcmPeriods && ydcmOutType == o.ydcmOutType
           && ydcmCmfbType == o.ydcmCmfbType;
}

ZtLineLib_Formula::LiveInputs ZtLineLib_Formula::liveInputs(int spanStart) const
{
    LiveInputs in;
    in.data = m_data;
    in.type = m_formulaType;
    in.prec = m_prec;
    in.isDLine = m_isDLine;
    in.showJHJJ = m_showJHJJ;
    in.showDRFS = m_showDRFS;
    in.spanStart = spanStart;
    if (isEngineType(m_formulaType)) {
        readEngineDefinition(&in);
    } else {
        in.params = m_params;
        in.texts = m_codeList;
    }
    if (m_formulaType == eFT_YDCM) {
        in.texts = QStringList{m_ydcmCode};
        in.ydcmKey = m_ydcmKey;
        in.ydcmCount = m_ydcmCount;
        in.ydcmRatio = m_ydcmRatio;
        in.ydcmPeriods = m_ydcmPeriods;
        in.ydcmOutType = m_ydcmOutType;
        in.ydcmCmfbType = m_ydcmCmfbType;
    }
    return in;
}

void ZtLineLib_Formula::readEngineDefinition(LiveInputs* in) const
{
    SeenDefinition& seen = m_seenDefinition;
    if (seen.type != m_formulaType || seen.key.empty()) {
        seen.type = m_formulaType;
        seen.name = helpFormulaTypeToQString(m_formulaType);
        seen.key = seen.name.toStdString();
        seen.valid = false;
    }
    std::string key = seen.key; // the store's call takes it by reference
    const TagFormularContent* stored = key.empty() ? nullptr
                                                   : m_dformulaManage.GetFormularContent(key);
    if (!stored || !seen.valid || !sameContent(*stored, seen.content)) {
        const CFormulaClass d = getCFormulaParamsAll(seen.name);
        seen.valid = stored != nullptr;
        if (stored)
            seen.content = *stored;
        seen.params = d.paramValues;
        seen.texts = QStringList{d.text1, d.text2, d.text3, d.text4, d.text5, d.text6}
                     + d.paramNames;
    }
    in->params = seen.params;
    in->texts = seen.texts;
}

int ZtLineLib_Formula::continueFrom(const LiveInputs& inputs, int start, int length) const
{
    if (!m_liveValid || !(inputs == m_liveInputs))
        return -1;
    const int count = m_data->count();
    // Records past the last computed ones are new whether announced or not;
    // so is an intraday slot that got data (the span grew).
    int from = std::min({announcedChangeFrom(), m_liveCount, count});
    const int spanEnd = start + std::min(length, m_liveSpanLength);
    if (recordsWereAppended() || length != m_liveSpanLength)
        from = std::min(from, m_isDLine ? spanEnd : m_liveCount);
    // Records before the span are not read.
    return std::max(from, start);
}

void ZtLineLib_Formula::continueLines(int from, int start, int length)
{
    if (length <= 0) {
        computeAll(start, length);
        return;
    }
    const int count = m_data->count();
    const int showIndex = m_isDLine ? start : m_dataShowIndex;
    const int showLength = m_isDLine ? length : m_dataShowLength;
    const bool dataChanged =
        from < start + m_liveSpanLength || count != m_liveCount || length != m_liveSpanLength;
    if (isEngineType(m_formulaType)) {
        continueByEngine(dataChanged ? from : -1, start, length);
        return;
    }
    if (isPriceType(m_formulaType)) {
        // The price walks end with the shown window: a window moved left
        // drops the values after it, one moved right walks the records it
        // gained. The range comes from the extremes each walked record kept
        // (the doubles, before they were kept as floats), so the shown
        // records are not walked again.
        const qint64 walkEnd = std::min<qint64>(qint64(showIndex) + showLength, count);
        const qint64 keep = std::min<qint64>(from, walkEnd);
        m_formulaLines.resume(showIndex, showLength, int(keep), from);
        continueBuiltIn();
        m_formulaLines.widenOverWindow();
    } else if (dataChanged) {
        // The service answers for the whole history at once.
        computeAll(start, length);
        return;
    } else {
        m_formulaLines.resume(showIndex, showLength, count + start, count + start);
        m_formulaLines.widenOverWindow();
    }
    m_minValue = std::min(m_minValue, m_formulaLines.minValue());
    m_maxValue = std::max(m_maxValue, m_formulaLines.maxValue());
}

void ZtLineLib_Formula::continueBuiltIn()
{
    if (m_formulaLines.lineCount() == 0)
        return;
    switch (m_formulaType) {
    case eFT_DLINE: m_formulaLines.continueDLINE(m_params.first()); break;
    case eFT_KLINE: m_formulaLines.continueKLINE(); break;
    case eFT_VOL: m_formulaLines.continueVOL(m_params); break;
    case eFT_DLINEVOL: m_formulaLines.continueDLINEVOL(); break;
    case eFT_CLOSE: m_formulaLines.continueCLOSE(ZtUIDataStruct::eFieldClose); break;
    default: break;
    }
}

void ZtLineLib_Formula::spliceFlines(const tagFLINES& flines, int start, int length, int count,
                                     int from)
{
    // Spliced lines continue the last computation, whose definition this is.
    const QList<float> maParams = m_formulaType == eFT_MA ? m_liveInputs.params : QList<float>();
    const auto shown = [&](int j) {
        return !(m_formulaType == eFT_MA && j < maParams.size() && maParams.at(j) == 0.0f);
    };
    int kept = 0;
    for (int j = 0; flines.lines && j < flines.count; ++j)
        kept += shown(j) ? 1 : 0;
    // Another set of lines than last time: nothing to keep.
    if (kept != m_formulaLines.lineCount()) {
        recycleLines();
        m_formulaLines.clearLines();
        m_formulaLines.noteRowsFrom(-1);
        m_splicedAttributes.clear();
        createByFlines(flines, start, length, count);
        return;
    }
    // A line made of the same attributes under the same theme colours is
    // what it was: only its series change.
    const QVector<QStringList> theme = lineThemeLists();
    if (theme != m_splicedTheme) {
        m_splicedTheme = theme;
        m_splicedAttributes.clear();
    }
    m_splicedAttributes.resize(size_t(kept));
    const float marker = float(kZtNoValue);
    int i = 0;
    for (int j = 0; j < flines.count; ++j) {
        if (!shown(j))
            continue;
        const tagFLINE& f = flines.lines[j];
        Formulas::formulaLine* line = m_formulaLines.lineAt(i);
        LineData d = FormulaResult::attributesOf(f);
        std::optional<LineData>& made = m_splicedAttributes[size_t(i++)];
        if (!made || !sameAttributes(*made, d)) {
            // The attributes as a new line gets them.
            Formulas::formulaLine fresh;
            fresh.showValue = true;
            fresh.useDrawRoutines = true;
            createByTagDay(&fresh, &d);
            fresh.values = std::move(line->values);
            fresh.values2 = std::move(line->values2);
            fresh.values3 = std::move(line->values3);
            fresh.values4 = std::move(line->values4);
            fresh.colors = std::move(line->colors);
            *line = std::move(fresh);
            made = d;
        }
        const int n = d.count;
        spliceSeries(line->values, f.data1, n, start, length, count, from, marker);
        spliceSeries(line->values2, f.data2, n, start, length, count, from, marker);
        spliceSeries(line->values3, f.data3, n, start, length, count, from, marker);
        spliceSeries(line->values4, f.data4, n, start, length, count, from, marker);
        spliceSeries(line->colors, f.colorCodes, n, start, length, count, from, 0);
    }
}

QVector<QStringList> ZtLineLib_Formula::lineThemeLists()
{
    // The engine's basic colours and a line's default pen.
    QVector<QStringList> lists;
    for (const QString& key : {QStringLiteral("FormulasList"), QStringLiteral("Default")}) {
        lists.append(ZtUIDataStruct::PubCacheCustom::mCustomColor.value(key));
        lists.append(ZtUIDataStruct::PubCacheCustom::mDefultColor.value(key));
    }
    return lists;
}
