#pragma once

#include <ZtLineLib.h>

#include <QFile>
#include <QTextStream>

// Shared by the indicator pane tests: quote lists made by hand or read from
// the samples, and a pane that reaches its protected helpers.
namespace indicatorpane {

using namespace ZtUIDataStruct;

inline const float kMarker = float(kZtNoValue);
constexpr qint64 kDay = 1000000; // one day in a yyyyMMddHHmmss key

// Replaces the theme tables for one test and puts the old ones back.
struct ThemeScope
{
    QHash<QString, QStringList> custom = PubCacheCustom::mCustomColor;
    QHash<QString, QStringList> deflt = PubCacheCustom::mDefultColor;
    ThemeScope() { PubCacheCustom::mCustomColor.clear(), PubCacheCustom::mDefultColor.clear(); }
    ~ThemeScope() { PubCacheCustom::mCustomColor = custom, PubCacheCustom::mDefultColor = deflt; }
};

struct Bar
{
    qint64 time = 0; // yyyyMMddHHmm for minutes, yyyyMMdd for days
    double open = 0, high = 0, low = 0, close = 0, volume = 0, amount = 0;
};

inline QVector<Bar> readCsv(const char* name)
{
    QVector<Bar> bars;
    QFile f(QStringLiteral(ZT_SOURCE_DIR "/data/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return bars;
    QTextStream in(&f);
    in.readLine();
    while (!in.atEnd()) {
        const QStringList c = in.readLine().split(QLatin1Char(','));
        if (c.size() >= 7)
            bars.append({c[0].toLongLong(), c[1].toDouble(), c[2].toDouble(), c[3].toDouble(),
                         c[4].toDouble(), c[5].toDouble(), c[6].toDouble()});
    }
    return bars;
}

inline DQDUnionReader record(qint64 key, double close, double volume)
{
    DQDUnionReader r;
    r.setUniqueValue(key);
    for (unsigned id : {eFieldOpen, eFieldHigh, eFieldLow, eFieldClose, eFieldAverage})
        r.setValue(id, close);
    r.setValue(eFieldVolume, volume);
    return r;
}

// Daily records keyed from 2024-01-01, one per volume.
inline DQDDataList volumeList(std::initializer_list<double> volumes)
{
    DQDDataList list;
    qint64 key = 20240101000000;
    for (double v : volumes)
        list.append(record(key += kDay, 1, v));
    return list;
}

inline DQDDataList dailyList(const QVector<Bar>& bars)
{
    DQDDataList list;
    for (const Bar& b : bars) {
        DQDUnionReader r = record(b.time * kDay, b.close, b.volume);
        r.setValue(eFieldOpen, b.open);
        r.setValue(eFieldHigh, b.high);
        r.setValue(eFieldLow, b.low);
        list.append(r);
    }
    return list;
}

// The first day of the minute sample as 241 slots: 09:30 holds the opening
// price without volume, then the 240 bars. Slots from tradedSlots on are not
// traded yet (key −1).
inline DQDDataList minuteDay(const QVector<Bar>& bars, int tradedSlots = 241)
{
    DQDDataList list;
    double amount = 0, volume = 0;
    for (int slot = 0; slot < 241 && bars.size() >= 240; ++slot) {
        const Bar* b = slot == 0 ? nullptr : &bars[slot - 1];
        const qint64 key = b ? b->time * 100 : (bars[0].time / 10000 * 10000 + 930) * 100;
        DQDUnionReader r = record(slot < tradedSlots ? key : -1, b ? b->close : bars[0].open,
                                  b ? b->volume : 0);
        amount += b ? b->amount : 0;
        volume += b ? b->volume : 0;
        r.setValue(eFieldAverage, volume > 0 ? amount / volume : bars[0].open);
        list.append(r);
    }
    return list;
}

inline QList<float> series(std::initializer_list<float> v)
{
    return QList<float>(v);
}

// Reaches the pane's protected helpers.
class Pane : public ZtLineLib_Formula
{
public:
    explicit Pane(enumFormulaType type, DQDDataList* list = nullptr, bool dline = false)
        : ZtLineLib_Formula(type)
    {
        setRect(0, 0, 300, 100);
        setIsDLine(dline);
        setPrec(2);
        setData(list);
        SetMaxMinValue(kZtNoValue, kZtNoValueMax);
    }
    void FillChild(QPainter*) override {}
    const QList<float>& values(int line) const { return formulaLines().lineAt(line)->values; }
    using ZtLineLib_Formula::applyMaThemeColors;
    using ZtLineLib_Formula::createByTagDay;
    using ZtLineLib_Formula::m_formulaLines;
    using ZtLineLib_Formula::padLines;
    using ZtLineLib_Formula::resetMaxMinValue;
};

} // namespace indicatorpane
