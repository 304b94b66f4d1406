// The pane's pipeline: from the data window to lines and a value range.

#include "ZtLineLib_Formula.h"

#include "ZtLineLibTheme.h"
#include "ZtPainterClipGuard.h"

#include <CInputData.h>
#include <DQDFieldId.h>
#include <PBDataChange.h>
#include <PubCacheCustom.h>

#include <algorithm>

using namespace ZtUIDataStruct;

namespace {

// The record key as a number; 0 (an empty slot) when there is no record.
qint64 recordKey(const DQDDataList* data, int i)
{
    const DQDUnionReader* r = data->at(i);
    return r ? r->uniqueKey() : 0;
}

// Where a series' storage starts: it changes when the series is replaced.
const float* firstValue(const QList<float>& series)
{
    return series.isEmpty() ? nullptr : &series.constFirst();
}

// Pads one series for padLines. The engine gives length values per series;
// should it give fewer, the tail markers go after what it gave.
template <typename T>
void padSeries(QList<T>& series, int start, int length, int count, T marker)
{
    if (series.isEmpty())
        return;
    const int head = std::min<int>(length, series.size());
    QList<T> padded;
    padded.reserve(start + series.size() + std::max(count - length, 0));
    for (int i = 0; i < start; ++i)
        padded.append(marker);
    for (int i = 0; i < head; ++i)
        padded.append(series.at(i));
    for (int i = length; i < count; ++i)
        padded.append(marker);
    for (int i = head; i < series.size(); ++i)
        padded.append(series.at(i));
    series.swap(padded);
}

} // namespace

ZtLineLib_Formula::ZtLineLib_Formula(enumFormulaType type)
    : m_formulaType(type)
{
}

ZtLineLib_Formula::~ZtLineLib_Formula() = default;

bool ZtLineLib_Formula::isEngineType(enumFormulaType type)
{
    return type == eFT_MA || (type >= eFT_MACD && type <= eFT_AB) || isUserFormulaType(type);
}

void ZtLineLib_Formula::computedSpan(int* start, int* length) const
{
    const int count = m_data->count();
    if (!m_isDLine) {
        *start = 0;
        *length = count;
        return;
    }
    int s = 0;
    if (m_showDRFS > 1) {
        for (int i = 0; i < count; ++i) {
            if (recordKey(m_data, i) >= 0) {
                s = i;
                break;
            }
        }
    } else if (m_showJHJJ) {
        // The price and intraday volume panes show the auction band; the
        // others compute from the opening minute on.
        s = (m_formulaType == eFT_DLINE || m_formulaType == eFT_DLINEVOL) ? 0 : 15;
    }
    // The span runs to the last slot with data: a day that opens late or a
    // suspension leaves empty slots inside it, which then have no value,
    // while the slots after the last traded minute stay outside.
    int end = count;
    while (end > s && recordKey(m_data, end - 1) <= 0)
        --end;
    *start = s;
    *length = end - s;
}

void ZtLineLib_Formula::calculateChildMaps()
{
    m_lastFormulaError.clear();
    if (!m_data || m_formulaType == eFT_NONE || m_dataShowLength <= 0) {
        // The lines stay as they were but no longer follow the records.
        m_liveValid = false;
        return;
    }
    int s = 0;
    int n = 0;
    computedSpan(&s, &n);
    const LiveInputs inputs = liveInputs(s);
    const int from = rangeDataUnchanged() ? continueFrom(inputs, s, n) : -1;
    if (from < 0) {
        m_liveInputs = inputs;
        computeAll(s, n);
    } else {
        continueLines(from, s, n);
    }
    m_liveCount = m_data->count();
    m_liveSpanLength = n;
    roundSticks();
}

void ZtLineLib_Formula::computeAll(int s, int n)
{
    recycleLines();
    if (m_isDLine)
        m_formulaLines.setup(m_data, m_isDLine, s, s, n, m_prec);
    else
        m_formulaLines.setup(m_data, m_isDLine, s, m_dataShowIndex, m_dataShowLength, m_prec);
    m_liveValid = n > 0;
    if (n <= 0)
        return;

    if (isEngineType(m_formulaType)) {
        computeByEngine(s, n);
    } else {
        computeBuiltIn();
        m_minValue = std::min(m_minValue, m_formulaLines.minValue());
        m_maxValue = std::max(m_maxValue, m_formulaLines.maxValue());
    }
}

void ZtLineLib_Formula::roundSticks()
{
    const qint64 changedFrom = m_formulaLines.takeChangedFrom();
    const qint64 first = std::max(m_dataShowIndex, 0);
    int count = 0;
    for (int j = 0; j < m_formulaLines.lineCount(); ++j) {
        const Formulas::formulaLine* line = m_formulaLines.lineAt(j);
        if (line->drawType != eCOLORSTICK)
            continue;
        if (m_roundedSticks.size() <= count)
            m_roundedSticks.resize(count + 1);
        RoundedSticks& r = m_roundedSticks[count++];
        const qint64 size = line->values.size();
        const qint64 end = std::min(first + m_dataShowLength, size);
        // What changed is rounded again; a window apart from the run starts
        // a new one, so the records between are never rounded.
        r.to = std::min({r.to, changedFrom, size});
        if (r.line != line || r.prec != m_prec || r.from >= r.to || end < r.from || first > r.to)
            r.from = r.to = first;
        r.line = line;
        r.source = firstValue(line->values);
        r.prec = m_prec;
        if (end <= first)
            continue;
        if (qint64(r.values.size()) < end)
            r.values.resize(size_t(end));
        for (qint64 i = first; i < r.from; ++i)
            r.values[size_t(i)] = roundToPrec(line->values.at(int(i)), m_prec);
        for (qint64 i = r.to; i < end; ++i)
            r.values[size_t(i)] = roundToPrec(line->values.at(int(i)), m_prec);
        r.from = std::min(r.from, first);
        r.to = std::max(r.to, end);
    }
    m_roundedSticks.resize(count);
}

const ZtLineLib_Formula::RoundedSticks*
ZtLineLib_Formula::roundedSticksFor(const Formulas::formulaLine* line) const
{
    for (const RoundedSticks& r : m_roundedSticks) {
        if (r.line == line && r.source == firstValue(line->values) && r.prec == m_prec)
            return &r;
    }
    return nullptr;
}

void ZtLineLib_Formula::computeBuiltIn()
{
    switch (m_formulaType) {
    case eFT_DLINE:
        if (m_params.size() == 1)
            m_formulaLines.eFT_DLINE(m_params.first());
        break;
    case eFT_KLINE: m_formulaLines.eFT_KLINE(); break;
    case eFT_VOL: m_formulaLines.eFT_VOL(m_params); break;
    case eFT_DLINEVOL: m_formulaLines.eFT_DLINEVOL(); break;
    case eFT_ZJLX:
        if (m_codeList.size() == 1)
            m_formulaLines.eFT_ZJLX(m_codeList.first());
        break;
    case eFT_MMLD:
        if (m_codeList.size() == 1)
            m_formulaLines.eFT_MMLD(m_codeList.first());
        break;
    case eFT_CMSD:
        if (m_codeList.size() == 1)
            m_formulaLines.eFT_CMSD(m_codeList.first());
        break;
    case eFT_RZRQ:
        if (!m_isDLine && m_codeList.size() == 1)
            m_formulaLines.eFT_RZRQ(m_codeList.first());
        break;
    case eFT_YDCM:
        m_formulaLines.eFT_YDCM(m_ydcmCode, m_ydcmKey, m_ydcmCount, m_ydcmPeriods, m_ydcmOutType,
                                m_ydcmCmfbType, m_ydcmRatio);
        m_ydcmLayers = m_formulaLines.ydcmLayers();
        m_ydcmInfo = m_formulaLines.ydcmInfo();
        break;
    case eFT_CLOSE: m_formulaLines.eFT_CLOSE(eFieldClose); break;
    default: break;
    }
}

void ZtLineLib_Formula::applyMaThemeColors()
{
    static const QString key = QStringLiteral("KLineMAs");
    const auto deflt = PubCacheCustom::mDefultColor.constFind(key);
    if (deflt == PubCacheCustom::mDefultColor.constEnd())
        return;
    QStringList names = deflt.value();
    const auto custom = PubCacheCustom::mCustomColor.constFind(key);
    if (custom != PubCacheCustom::mCustomColor.constEnd()) {
        const int both = std::min(names.size(), custom.value().size());
        for (int j = 0; j < both; ++j)
            names[j] = custom.value().at(j);
    }
    if (names != m_maColorNames) {
        m_maColors.clear();
        for (const QString& name : names)
            m_maColors.append(QColor(name));
        m_maColorNames = names;
    }
    const int n = std::min<int>(m_formulaLines.lineCount(), m_maColors.size());
    for (int i = 0; i < n; ++i)
        m_formulaLines.lineAt(i)->pen.setColor(m_maColors.at(i));
}

void ZtLineLib_Formula::padLines(int start, int length, int count)
{
    const float marker = float(kZtNoValue);
    for (int i = 0; i < m_formulaLines.lineCount(); ++i) {
        Formulas::formulaLine* line = m_formulaLines.lineAt(i);
        padSeries(line->values, start, length, count, marker);
        padSeries(line->values2, start, length, count, marker);
        padSeries(line->values3, start, length, count, marker);
        padSeries(line->values4, start, length, count, marker);
        // The colour codes run parallel to the values; they move with them
        // so that colors[k] stays the colour of record k.
        padSeries(line->colors, start, length, count, 0);
    }
}

void ZtLineLib_Formula::resetMaxMinValue()
{
    if (!m_data || m_data->count() == 0)
        return;
    double lo, hi;
    m_formulaLines.rangeOverWindow(m_dataShowIndex, m_dataShowLength, &lo, &hi);
    if (!ztIsNoValue(lo))
        m_minValue = std::min(lo, m_minValue);
    if (!ztIsNoValue(hi))
        m_maxValue = std::max(hi, m_maxValue);
}

void ZtLineLib_Formula::setFixedPen(const QPen& pen)
{
    m_fixedPen = pen;
    m_useFixedPen = true;
}

QPen ZtLineLib_Formula::getLinePenByIndex(int i)
{
    if (const Formulas::formulaLine* line = m_formulaLines.lineAt(i))
        return line->pen;
    return getThemePen(QStringLiteral("Default"), Qt::SolidLine);
}

QColor ZtLineLib_Formula::getColorByInt(int c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, 255);
}

void ZtLineLib_Formula::rebuildForLength(int n)
{
    // The lines no longer are those of a computation to continue, and their
    // values move to other records.
    m_liveValid = false;
    m_roundedSticks.clear();
    n = std::max(n, 0);
    for (int i = m_formulaLines.lineCount() - 1; i >= 0; --i) {
        QList<float>& values = m_formulaLines.lineAt(i)->values;
        if (values.size() > n) {
            values = values.mid(values.size() - n);
        } else if (values.size() < n) {
            QList<float> padded;
            padded.reserve(n);
            for (int k = values.size(); k < n; ++k)
                padded.append(float(kZtNoValue));
            padded.append(values);
            values.swap(padded);
        }
    }
}

QPoint ZtLineLib_Formula::getCrossCurvePointByKlineDataIndex(int index, int lineIndex)
{
    // A clamp sends the question on to line 0. When the window's left edge
    // lies past the line's last value, clamping left and right would hand
    // the index back and forth; a clamp against the one last made ends it.
    enum Clamp { eNone, eLow, eHigh } last = eNone;
    for (;;) {
        if (index < 0 || !m_data || m_data->count() == 0 || lineIndex < 0
            || lineIndex >= m_formulaLines.lineCount())
            return QPoint(0, 0);
        m_formulaLines.moveTo(lineIndex);
        const Formulas::formulaLine* line = m_formulaLines.currentLine();

        const bool candles = (m_formulaType == eFT_KLINE);
        const qint64 high = candles ? qint64(m_dataShowIndex) + m_dataShowLength - 1
                                    : qint64(line->values.size()) - 1;
        if (index < m_dataShowIndex) {
            if (last == eHigh)
                return QPoint(0, 0);
            last = eLow;
            index = m_dataShowIndex;
            lineIndex = 0;
            continue;
        }
        if (index > high) {
            if (last == eLow)
                return QPoint(0, 0);
            last = eHigh;
            index = int(std::max<qint64>(high, -1));
            lineIndex = 0;
            continue;
        }

        double value;
        if (candles) {
            const DQDUnionReader* r = m_data->at(index);
            if (!r)
                return QPoint(0, 0);
            value = r->getValue(eFieldClose).toDouble();
        } else {
            value = line->values.at(index);
        }
        // A value of ±infinity or NaN has no pixel; the clamp keeps the cast defined.
        return QPoint(ztPixel(getX(index - m_dataShowIndex)), ztPixel(getY(value)));
    }
}

void ZtLineLib_Formula::createByStripColor(Formulas::formulaLine::QStripColor* target,
                                           StripColor source)
{
    if (!target)
        return;
    target->enable = source.enable;
    target->color1 = source.color1;
    target->color2 = source.color2;
    target->color3 = source.color3;
}

namespace {

QList<float> toList(const std::vector<float>& v)
{
    QList<float> list;
    list.reserve(int(v.size()));
    for (float x : v)
        list.append(x);
    return list;
}

} // namespace

void ZtLineLib_Formula::createByTagDay(Formulas::formulaLine* line, LineData* data)
{
    if (!line || !data)
        return;
    line->name = data->drawType == eDRAWTEXT
                     ? QString()
                     : QString::fromLocal8Bit(data->name.data(), int(data->name.size()));
    line->values = toList(data->data1);
    line->values2 = toList(data->data2);
    line->values3 = toList(data->data3);
    line->values4 = toList(data->data4);
    line->drawType = data->drawType;
    line->param1 = data->param1;
    line->param2 = data->param2;

    // The engine's seven basic colours follow the theme; any other colour is
    // the formula author's choice and stays.
    static const QColor basics[] = {
        QColor(255, 255, 255), QColor(255, 255, 0), QColor(255, 0, 255), QColor(0, 255, 0),
        QColor(255, 0, 0),     QColor(0, 0, 255),   QColor(0, 255, 255),
    };
    QColor c = getColorByInt(data->color);
    for (int i = 0; i < 7; ++i) {
        if (c == basics[i]) {
            c = getThemePenAt(QStringLiteral("FormulasList"), i).color();
            break;
        }
    }
    line->pen.setColor(c);

    line->colors.clear();
    line->colors.reserve(int(data->colorCodes.size()));
    for (int code : data->colorCodes)
        line->colors.append(code);
    line->lineWidth = data->lineWidth;
    line->lineStyle = data->lineStyle;
    line->text = QString::fromLocal8Bit(data->text.data(), int(data->text.size()));
    createByStripColor(&line->stripColor, data->stripColor);
    if (data->rect.valid) {
        line->rect.setTop(data->rect.top);
        line->rect.setLeft(data->rect.left);
        line->rect.setBottom(data->rect.bottom);
        line->rect.setRight(data->rect.right);
    }
}
