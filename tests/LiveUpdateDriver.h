#pragma once

// The differential driver of live updates, shared by LiveUpdateTest and the
// fuzz target: random appends, ticks, edits inside the history, window moves
// and parameter changes on panes of every family, each pane driven with
// announcements and setRange(…, true) and compared after every step with a
// pane built afresh over a copy of the records.

#include <ZtLineLib.h>

#include <QImage>
#include <QPainter>

#include <cstring>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace liveupdate {

using namespace ZtUIDataStruct;
using F = ZtLineLib_Formula;

// A choice in [lo, hi].
using Pick = std::function<int(int lo, int hi)>;

// Two texts of LIVEUSER with the same lines and parameters.
inline const char* const kLiveUserTexts[] = {
    "A:EMA(C,N);B:IF(C>REF(C,1),C,DRAWNULL);D:C-O,COLORSTICK;E:SMA(V,N,1);",
    "A:MA(C,N);B:IF(C>REF(C,1),C,DRAWNULL);D:C-O,COLORSTICK;E:SMA(V,N,1);"};

// Formulas of the store the driver adds: one computed bar by bar, one with
// functions that look ahead (its earlier values move with new bars).
inline void addUserFormulas()
{
    // LIVEAHEAD's sticks are as wide as the last close: a tick changes them.
    const std::pair<const char*, const char*> defs[] = {
        {"LIVEUSER", kLiveUserTexts[0]}, {"LIVEAHEAD", "Z:ZIG(3,5);R:REFX(C,2);STICKLINE(C>O,C,O,C,0);"}};
    for (const auto& [name, text] : defs) {
        TagFormularContent c;
        c.texts[0] = name;
        c.texts[2] = text;
        c.paramNames[0] = "N";
        c.paramCount = 1;
        c.params[1][0] = 100;
        c.params[2][0] = 4;
        F::m_dformulaManage.SetFormularContent(c);
    }
}

template <typename T>
QString compareSeries(const char* what, int line, const QList<T>& a, const QList<T>& b)
{
    const QString where = QStringLiteral("line %1 %2").arg(line).arg(QLatin1String(what));
    if (a.size() != b.size())
        return where + QStringLiteral(" size %1 vs %2").arg(a.size()).arg(b.size());
    for (int i = 0; i < a.size(); ++i) {
        if (std::memcmp(&a.at(i), &b.at(i), sizeof(T)) != 0)
            return where + QStringLiteral("[%1]: %2 vs %3").arg(i).arg(double(a.at(i))).arg(double(b.at(i)));
    }
    return QString();
}

// Empty when the two panes' lines, colours and ranges are the same bits.
inline QString comparePanes(const F& live, const F& fresh)
{
    const Formulas& a = live.formulaLines();
    const Formulas& b = fresh.formulaLines();
    if (a.lineCount() != b.lineCount())
        return QStringLiteral("%1 lines vs %2").arg(a.lineCount()).arg(b.lineCount());
    for (int j = 0; j < a.lineCount(); ++j) {
        const Formulas::formulaLine& x = *a.lineAt(j);
        const Formulas::formulaLine& y = *b.lineAt(j);
        if (x.name != y.name || x.drawType != y.drawType || x.pen.color() != y.pen.color()
            || x.chipRows != y.chipRows || x.text != y.text || x.param1 != y.param1
            || x.param2 != y.param2 || x.lineWidth != y.lineWidth || x.lineStyle != y.lineStyle)
            return QStringLiteral("line %1 attributes").arg(j);
        for (const QString& d : {compareSeries("values", j, x.values, y.values),
                                 compareSeries("values2", j, x.values2, y.values2),
                                 compareSeries("values3", j, x.values3, y.values3),
                                 compareSeries("values4", j, x.values4, y.values4),
                                 compareSeries("colors", j, x.colors, y.colors)}) {
            if (!d.isEmpty())
                return d;
        }
    }
    const double r[] = {live.maxReference(), fresh.maxReference(), live.minReference(), fresh.minReference()};
    if (std::memcmp(&r[0], &r[1], sizeof(double)) != 0 || std::memcmp(&r[2], &r[3], sizeof(double)) != 0)
        return QStringLiteral("range %1 … %2 vs %3 … %4").arg(r[2]).arg(r[0]).arg(r[3]).arg(r[1]);
    if (live.ydcmInfo() != fresh.ydcmInfo() || live.lastFormulaError() != fresh.lastFormulaError())
        return QStringLiteral("chip figures or error");
    return QString();
}

class Driver
{
public:
    explicit Driver(Pick pick) : m_pick(std::move(pick)), m_savedStore(F::m_dformulaManage)
    {
        PBDataChange::clearInstruments();
        addUserFormulas();
        for (int i = m_pick(2, 400); i > 0; --i)
            m_bars.append(nextBar());
        PBDataChange::registerInstrument("LIVE", "Live", m_bars, DQDDataList(), {});
        // One intraday day: 241 slots, the first ones traded; now and then
        // led by the 15 slots of the call auction, which most panes skip.
        m_band = m_pick(0, 1) ? 15 : 0;
        m_slots = m_band + 241;
        m_traded = m_band + m_pick(1, 240);
        for (int i = 0; i < m_slots; ++i)
            m_minutes.append(i < m_traded ? minute(i) : DQDUnionReader()); // key 0: no data

        for (F::enumFormulaType t : {F::eFT_KLINE, F::eFT_VOL, F::eFT_CLOSE, F::eFT_MA, F::eFT_MACD, F::eFT_KDJ,
                                     F::eFT_ZJLX, F::eFT_CMSD, F::eFT_RZRQ, F::eFT_YDCM,
                                     F::userFormulaType(QStringLiteral("LIVEUSER")),
                                     F::userFormulaType(QStringLiteral("LIVEAHEAD"))})
            m_panes.push_back({t, false});
        for (F::enumFormulaType t : {F::eFT_DLINE, F::eFT_DLINEVOL, F::eFT_VOL, F::eFT_MACD, F::eFT_MMLD})
            m_panes.push_back({t, true});
        for (Pane& p : m_panes) {
            p.live = std::make_unique<F>(p.type);
            configure(*p.live, p);
        }
    }
    ~Driver()
    {
        F::m_dformulaManage = m_savedStore;
        PBDataChange::clearInstruments();
    }

    // Runs the steps; the first difference found, empty when there is none.
    QString run(int steps)
    {
        for (int s = 0; s < steps; ++s) {
            step();
            for (Pane& p : m_panes) {
                const QString d = check(p);
                if (!d.isEmpty())
                    return QStringLiteral("step %1, type %2%3: %4")
                        .arg(s).arg(int(p.type)).arg(p.dline ? " (intraday)" : "").arg(d);
            }
        }
        return QString();
    }

private:
    struct Pane
    {
        F::enumFormulaType type;
        bool dline;
        std::unique_ptr<F> live;
    };

    double price() { return 10.0 + m_pick(0, 4000) / 997.0; }

    DQDUnionReader bar(qint64 key)
    {
        DQDUnionReader r;
        r.setUniqueValue(key);
        r.setValue(eFieldDateTime, key);
        const double o = price(), c = price();
        r.setValue(eFieldOpen, o);
        r.setValue(eFieldClose, c);
        r.setValue(eFieldHigh, std::max(o, c) + m_pick(0, 50) / 100.0);
        r.setValue(eFieldLow, std::min(o, c) - m_pick(0, 50) / 100.0);
        r.setValue(eFieldVolume, double(m_pick(0, 100000)));
        r.setValue(eFieldAverage, (o + c) / 2);
        return r;
    }
    DQDUnionReader nextBar()
    {
        m_day = m_day.addDays(1);
        return bar(m_day.toString(QStringLiteral("yyyyMMdd")).toLongLong() * 1000000);
    }
    DQDUnionReader minute(int slot)
    {
        if (slot < m_band)
            return bar(20240102091500LL + slot * 100);
        slot -= m_band;
        const QTime t = slot <= 120 ? QTime(9, 30).addSecs(60 * slot) : QTime(13, 1).addSecs(60 * (slot - 121));
        return bar(20240102000000LL + t.hour() * 10000 + t.minute() * 100);
    }

    void configure(F& pane, const Pane& p)
    {
        pane.setRect(0, 0, 400, 120);
        pane.setData(p.dline ? &m_minutes : &m_bars);
        pane.setIsDLine(p.dline);
        pane.setShowJHJJ(p.dline && m_band > 0);
        pane.setPrec(m_prec);
        if (p.type == F::eFT_VOL)
            pane.m_params = m_volPeriods;
        if (p.type == F::eFT_DLINE)
            pane.m_params = {1.0f};
        pane.m_codeList = QStringList{QStringLiteral("LIVE")};
        pane.m_ydcmCode = QStringLiteral("LIVE");
        pane.m_ydcmCount = 2;
    }

    // Tells the panes of one list what changed; from −1: records appended.
    void announce(bool dline, int from)
    {
        for (Pane& p : m_panes) {
            if (p.dline == dline && from < 0)
                p.live->recordsAppended();
            else if (p.dline == dline)
                p.live->recordsChanged(from);
        }
    }

    void step()
    {
        const bool dline = m_pick(0, 3) == 0;
        DQDDataList& list = dline ? m_minutes : m_bars;
        const int last = dline ? m_traded - 1 : list.count() - 1;
        switch (m_pick(0, 6)) {
        case 0: // a new bar or minute
            if (!dline) {
                list.append(nextBar());
                if (m_pick(0, 3))
                    announce(false, -1); // else left to the count
            } else if (m_traded < m_slots) {
                *list.at(m_traded) = minute(m_traded);
                ++m_traded;
                announce(true, -1);
            }
            break;
        case 1: // a trade on the last record
        case 2:
            if (last >= 0) {
                DQDUnionReader* r = list.at(last);
                const double c = price();
                r->setValue(eFieldClose, c);
                r->setValue(eFieldHigh, std::max(c, r->numberValue(eFieldHigh, c)));
                r->setValue(eFieldVolume, r->numberValue(eFieldVolume, 0) + m_pick(1, 500));
                announce(dline, last);
            }
            break;
        case 3: // an edit inside the history
            if (last >= 0) {
                // Half of the edits hit the first records, where a span starts.
                const int k = m_pick(0, std::min(last, m_pick(0, 1) ? 2 : last));
                *list.at(k) = bar(list.at(k)->uniqueKey());
                announce(dline, k);
            }
            break;
        case 4: // a moved or resized window
            m_index = m_pick(-2, m_bars.count());
            m_length = m_pick(0, 200);
            break;
        default:
            changeParameters();
            break;
        }
    }

    void changeParameters()
    {
        const int what = m_pick(0, 4);
        if (what == 0) {
            m_volPeriods = {float(m_pick(0, 12)), float(m_pick(1, 30))};
        } else if (what == 1) {
            m_prec = m_pick(0, 4);
        } else { // a new text (the kept lines are stale) or a new first parameter
            std::string name = what == 2 || m_pick(0, 1) ? "LIVEUSER" : "MACD";
            TagFormularContent c = *F::m_dformulaManage.GetFormularContent(name);
            if (what == 2)
                c.texts[2] = kLiveUserTexts[m_pick(0, 1)];
            else
                c.params[2][0] = float(m_pick(2, 15));
            F::m_dformulaManage.SetFormularContent(c);
        }
        for (Pane& p : m_panes)
            configure(*p.live, p);
    }

    QString check(Pane& p)
    {
        const int index = p.dline ? 0 : m_index;
        const int length = p.dline ? m_slots : m_length;
        p.live->SetMaxMinValue(kZtNoValue, kZtNoValueMax);
        p.live->setRange(index, length, true);
        // An empty window computes nothing and leaves the last lines as they
        // were, where a fresh pane has none: there is nothing to compare.
        if (length == 0)
            return QString();

        DQDDataList copy = p.dline ? m_minutes : m_bars;
        F fresh(p.type);
        configure(fresh, p);
        fresh.setData(&copy);
        fresh.SetMaxMinValue(kZtNoValue, kZtNoValueMax);
        fresh.setRange(index, length);
        const QString d = comparePanes(*p.live, fresh);
        // The painters also read what a pane keeps beside its lines (the
        // rounded sticks), so the pictures must agree as well.
        return d.isEmpty() && picture(*p.live) != picture(fresh) ? QStringLiteral("picture") : d;
    }

    static QImage picture(F& pane)
    {
        QImage img(400, 120, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::black);
        QPainter painter(&img);
        pane.Fill(&painter);
        return img;
    }

    Pick m_pick;
    CDFormulaManage m_savedStore;
    QDate m_day{2023, 1, 1};
    DQDDataList m_bars;
    DQDDataList m_minutes;
    int m_band = 0;
    int m_slots = 0;
    int m_traded = 0; // filled intraday slots, the band's included
    int m_index = 0;
    int m_length = 40;
    int m_prec = 2;
    QList<float> m_volPeriods{5, 10};
    std::vector<Pane> m_panes;
};

} // namespace liveupdate
