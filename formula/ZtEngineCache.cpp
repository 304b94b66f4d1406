#include "ZtEngineCache.h"

#include "ZtLineLibTheme.h"

#include <DQDFieldId.h>
#include <ZtDataMangeTypes.h>

#include <cmath>
#include <cstring>
#include <limits>

using namespace ZtUIDataStruct;

namespace {

// One step of a 64-bit hash: the word is spread over all bits before it
// joins, so neighbouring values do not cancel.
inline quint64 mix(quint64 h, quint64 v)
{
    v *= 0x9E3779B97F4A7C15ull;
    v ^= v >> 32;
    h = (h ^ v) * 0xBF58476D1CE4E5B9ull;
    return h ^ (h >> 29);
}

inline quint64 mixDouble(quint64 h, double d)
{
    quint64 bits;
    std::memcpy(&bits, &d, sizeof bits);
    return mix(h, bits);
}

quint64 mixText(quint64 h, const QString& text)
{
    h = mix(h, quint64(text.size()));
    for (const QChar c : text)
        h = mix(h, c.unicode());
    return h;
}

quint64 mixNumbers(quint64 h, const QList<float>& values)
{
    h = mix(h, quint64(values.size()));
    for (float v : values)
        h = mixDouble(h, double(v));
    return h;
}

// Every field a bar conversion may read; a missing one reads as NaN.
const unsigned int kFields[] = {eFieldDateTime, eFieldPreClose, eFieldOpen,   eFieldHigh,
                                eFieldLow,      eFieldClose,    eFieldAverage, eFieldVolume,
                                eFieldAmount,   eFieldChange,   eZtFieldFloatShares};

} // namespace

quint64 ZtEngineCache::fingerprint(const DQDDataList* list, int start, int length,
                                   const QStringList& definitionTexts, const QList<float>& params)
{
    quint64 h = mix(0, quint64(list ? list->count() : -1));
    h = mix(h, quint64(start));
    h = mix(h, quint64(length));
    h = mix(h, quint64(definitionTexts.size()));
    for (const QString& text : definitionTexts)
        h = mixText(h, text);
    h = mixNumbers(h, params);
    // The engine's basic colours become theme colours as its lines are made.
    for (int i = 0; i < 7; ++i)
        h = mix(h, getThemePenAt(QStringLiteral("FormulasList"), i).color().rgba());
    if (!list)
        return h;
    const double missing = std::numeric_limits<double>::quiet_NaN();
    const int end = int(std::min<qint64>(qint64(start) + length, list->count()));
    for (int i = std::max(start, 0); i < end; ++i) {
        const DQDUnionReader* r = list->at(i);
        if (!r) {
            h = mix(h, 0);
            continue;
        }
        h = mix(h, quint64(r->uniqueKey()));
        for (unsigned int field : kFields)
            h = mixDouble(h, r->numberValue(field, missing));
    }
    return h;
}

bool ZtEngineCache::restore(quint64 fingerprint, Formulas* into) const
{
    if (!m_valid || fingerprint != m_fingerprint)
        return false;
    for (const Formulas::formulaLine& line : m_lines)
        into->appendLine(line);
    return true;
}

void ZtEngineCache::store(quint64 fingerprint, const Formulas& lines)
{
    m_lines.clear();
    for (int i = 0; i < lines.lineCount(); ++i)
        m_lines.append(*lines.lineAt(i));
    m_fingerprint = fingerprint;
    m_valid = true;
}

void ZtEngineCache::clear()
{
    m_lines.clear();
    m_valid = false;
}
