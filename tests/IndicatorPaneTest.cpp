// The indicator pane: line model, computation state, price and volume lines,
// catalogue and pipeline, over hand-made lists and the sample quotes.

#include <ZtLineLib.h>

#include <gtest/gtest.h>

#include <QFile>
#include <QLocale>
#include <QTextStream>

#include <climits>
#include <cmath>
#include <cstring>
#include <random>
#include <stdexcept>

using namespace ZtUIDataStruct;
using Line = Formulas::formulaLine;
using F = ZtLineLib_Formula;

namespace {

const float kMarker = float(kZtNoValue);
const qint64 kDay = 1000000; // one day in a yyyyMMddHHmmss key

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

QVector<Bar> readCsv(const char* name)
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

DQDUnionReader record(qint64 key, double close, double volume)
{
    DQDUnionReader r;
    r.setUniqueValue(key);
    for (unsigned id : {eFieldOpen, eFieldHigh, eFieldLow, eFieldClose, eFieldAverage})
        r.setValue(id, close);
    r.setValue(eFieldVolume, volume);
    return r;
}

// Daily records keyed from 2024-01-01, one per volume.
DQDDataList volumeList(std::initializer_list<double> volumes)
{
    DQDDataList list;
    qint64 key = 20240101000000;
    for (double v : volumes)
        list.append(record(key += kDay, 1, v));
    return list;
}

DQDDataList dailyList(const QVector<Bar>& bars)
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
DQDDataList minuteDay(const QVector<Bar>& bars, int tradedSlots = 241)
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

QList<float> series(std::initializer_list<float> v)
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

} // namespace

// ---- line model ------------------------------------------------------------

TEST(PaneLineModel, LineDefaultsAndContainerOwnership)
{
    ThemeScope theme;
    PubCacheCustom::mDefultColor.insert(QStringLiteral("Default"), {QStringLiteral("#808080")});
    const Line plain;
    EXPECT_EQ(plain.pen.color(), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(plain.chipMax, kZtNoValue);
    EXPECT_FALSE(plain.useDrawRoutines);
    EXPECT_TRUE(plain.rect.isNull());

    Formulas a;
    EXPECT_FALSE(a.moveFirst());
    a.addLine(Line(QStringLiteral("DIFF"), eSMOOTHLINE, QPen(Qt::red), true));
    a.addLine(plain);
    Formulas copy(a);
    copy.lineAt(0)->name = QStringLiteral("changed");
    EXPECT_EQ(a.lineAt(0)->name, QStringLiteral("DIFF")); // the copy owns its own lines
    EXPECT_EQ(a.lineAt(2), nullptr);
    Formulas moved(std::move(copy));
    EXPECT_EQ(copy.lineCount(), 0);
    EXPECT_EQ(moved.lineAt(0)->name, QStringLiteral("changed"));

    EXPECT_TRUE(a.moveFirst() && a.moveNext());
    EXPECT_FALSE(a.moveNext());
    EXPECT_EQ(a.currentLine(), a.lineAt(1));
}

TEST(PaneLineModel, EngineLineConversion)
{
    ThemeScope theme;
    QStringList list;
    for (int i = 1; i <= 7; ++i)
        list.append(QColor(0, 0, i).name());
    PubCacheCustom::mDefultColor.insert(QStringLiteral("FormulasList"), list);

    LineData d;
    d.name = "DIFF";
    d.data1 = {1.0f, 2.0f};
    d.data2 = {3.0f};
    d.colorCodes = {0x0000FF, 0x00FF00};
    d.lineWidth = 2;
    d.stripColor = StripColor{true, 1, 2, 3};
    d.color = 0x0000FF; // pure red: the fifth list colour
    Line red;
    Pane::createByTagDay(&red, &d);
    EXPECT_EQ(red.pen.color(), QColor(0, 0, 5));
    EXPECT_EQ(red.name, QStringLiteral("DIFF"));
    EXPECT_EQ(red.values, series({1.0f, 2.0f}));
    EXPECT_EQ(red.values2, series({3.0f}));
    EXPECT_TRUE(red.values3.isEmpty());
    EXPECT_EQ(red.colors, QList<int>({0x0000FF, 0x00FF00}));
    EXPECT_EQ(red.lineWidth, 2);
    EXPECT_EQ(red.stripColor.color3, 3);
    EXPECT_TRUE(red.rect.isNull()); // no rectangle given

    d.color = 0x00FFFF; // yellow in BGR: the second
    Pane::createByTagDay(&red, &d);
    EXPECT_EQ(red.pen.color(), QColor(0, 0, 2));

    d.color = 0x000080; // dark red is no basic colour
    d.rect = Rect{true, 10, 20, 30, 40};
    Line dark;
    dark.pen.setWidth(3);
    Pane::createByTagDay(&dark, &d);
    EXPECT_EQ(dark.pen.color(), QColor(0x80, 0, 0));
    EXPECT_EQ(dark.pen.width(), 3);
    EXPECT_EQ(dark.rect, QRect(QPoint(20, 10), QPoint(40, 30)));

    d.drawType = eDRAWTEXT;
    d.text = "buy";
    Line text;
    Pane::createByTagDay(&text, &d);
    EXPECT_TRUE(text.name.isEmpty());
    EXPECT_EQ(text.text, QStringLiteral("buy"));
    Pane::createByTagDay(nullptr, &d);
}

TEST(PaneLineModel, CheckValueRejectsOnlyTheAllOnesPattern)
{
    auto fromBits = [](quint32 bits) {
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    };
    EXPECT_TRUE(FormulaResult::CheckValue(0.0f));
    EXPECT_TRUE(FormulaResult::CheckValue(kMarker));
    EXPECT_TRUE(FormulaResult::CheckValue(fromBits(0x7FFFFFFFu)));
    EXPECT_FALSE(FormulaResult::CheckValue(fromBits(0xFFFFFFFFu)));
}

// ---- computation state -----------------------------------------------------

TEST(PaneState, TruncToPrecCutsLikeTheDecimalText)
{
    EXPECT_EQ(Formulas::truncToPrec(12.349, 2), 12.34);
    EXPECT_EQ(Formulas::truncToPrec(-12.349, 2), -12.34);
    EXPECT_EQ(Formulas::truncToPrec(0.29, 2), 0.29); // 0.29 · 100 rounds below 29
    EXPECT_EQ(Formulas::truncToPrec(12.9, -3), 12.0);

    // The reference: cut the shortest plain decimal text.
    auto cutText = [](double v, int prec) {
        QString t = QString::number(v, 'f', QLocale::FloatingPointShortest);
        const int dot = t.indexOf(QLatin1Char('.'));
        if (dot >= 0)
            t.truncate(prec < 1 ? dot : dot + 1 + prec);
        return t.toDouble();
    };
    std::mt19937_64 rng(20240910);
    std::uniform_int_distribution<int> precs(0, 8);
    std::uniform_real_distribution<double> mant(-1.0, 1.0);
    std::uniform_int_distribution<int> exps(-8, 17);
    std::uniform_int_distribution<qint64> digits(-10000000000LL, 10000000000LL);
    int mismatches = 0;
    for (int i = 0; i < 200000; ++i) {
        const int p = precs(rng);
        double v;
        switch (i % 4) {
        case 0: v = mant(rng) * std::pow(10.0, exps(rng)); break;
        case 1: v = double(digits(rng)) / std::pow(10.0, p); break;     // on a cut boundary
        case 2: v = double(digits(rng)) / std::pow(10.0, p + 1); break; // one digit past it
        default: v = std::round(mant(rng) * 1e16); break;               // large whole numbers
        }
        if (Formulas::truncToPrec(v, p) != cutText(v, p) && ++mismatches < 5)
            ADD_FAILURE() << QString::number(v, 'g', 17).toStdString() << " prec " << p;
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(PaneState, AddValueAlignsAndWidensOnlyOverTheShownWindow)
{
    DQDDataList list = volumeList({0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    Formulas f;
    f.setup(&list, false, 3, 6, 4, 2);
    const int k = f.addLine(Line());
    EXPECT_EQ(f.lineAt(k)->values, series({kMarker, kMarker, kMarker}));

    // Indices 3 … 5 lie before the window; only 6 … 9 widen the range.
    for (double v : {-50.0, 500.0, 7.0, 1.23456, 2.5, 1e16, 3.999})
        f.addValue(k, v);
    const QList<float>& line = f.lineAt(k)->values;
    ASSERT_EQ(line.size(), 10);
    EXPECT_EQ(line.at(3), -50.0f); // value k belongs to record k
    EXPECT_EQ(line.at(8), kMarker); // 1e16 has no value
    EXPECT_EQ(f.minValue(), 1.23);
    EXPECT_EQ(f.maxValue(), 3.99);

    // The first value in the window sets both ends.
    f.setup(&list, false, 0, 0, 10, 2);
    const int j = f.addLine(Line());
    f.addValue(j, std::nan(""));
    EXPECT_EQ(f.maxValue(), kZtNoValue);
    f.addValue(j, 4.5678);
    EXPECT_EQ(f.minValue(), 4.56);
    EXPECT_EQ(f.maxValue(), 4.56);
    f.addValue(j, 123456789012.0); // a volume whose shortest text needs an exponent
    EXPECT_EQ(f.maxValue(), 123456789012.0);

    // A value before the first computed index is an error.
    f.setup(&list, false, 3, 0, 10, 2);
    const int e = f.addLine(Line());
    f.setIndex(2);
    try {
        f.addValue(e, 1.0);
        ADD_FAILURE() << "no index error";
    } catch (const std::runtime_error& err) {
        EXPECT_EQ(QString::fromUtf8(err.what()), QStringLiteral("指标计算是发生Index错误。"));
    }
    f.setIndex(3);
    f.addValue(99, 1.0); // no such line
    EXPECT_EQ(f.lineAt(e)->values.size(), 3);
}

TEST(PaneState, PensReadsAndMovingAverages)
{
    ThemeScope theme;
    PubCacheCustom::mDefultColor.insert(
        QStringLiteral("FormulasList"),
        {QStringLiteral("#100000"), QStringLiteral("#200000"), QStringLiteral("#300000")});
    DQDDataList list = volumeList({10, 20, kZtNoValue, 40, 50, 60});
    Formulas f;
    f.setup(&list, false, 0, 0, 6, 2);
    EXPECT_EQ(f.nextListPen().color(), QColor(0x10, 0, 0));
    f.nextListPen();
    f.nextListPen();
    EXPECT_EQ(f.nextListPen().color(), QColor(0x10, 0, 0)); // the fourth wraps round
    f.setup(&list, false, 0, 0, 6, 2);
    EXPECT_EQ(f.nextListPen().color(), QColor(0x10, 0, 0)); // setup starts again

    EXPECT_EQ(f.getValue(eFieldVolume, 1), 20.0);
    EXPECT_EQ(f.getValue(eFieldVolume, 6), kZtNoValue);

    // The gap two back ends the walk: the mean of the two values after it.
    f.setIndex(4);
    EXPECT_EQ(f.getMA(eFieldVolume, 5), 45.0);
    f.setIndex(3);
    EXPECT_EQ(f.getMA(eFieldVolume, 5), kZtNoValue); // fewer than five records yet
    EXPECT_EQ(f.getMA(eFieldVolume, 0), kZtNoValue);
    f.setIndex(2);
    EXPECT_EQ(f.getMA(eFieldVolume, 1), kZtNoValue); // nothing before the gap either
}

// ---- price and volume lines --------------------------------------------------

TEST(PanePrice, CandleRangeOverTheSampleDays)
{
    const QVector<Bar> bars = readCsv("sh600000_day.csv");
    ASSERT_EQ(bars.size(), 1000);
    DQDDataList list = dailyList(bars);
    Pane pane(F::eFT_KLINE, &list);
    pane.setRange(700, 120);

    double lo = 1e9, hi = -1e9;
    for (int i = 700; i < 820; ++i)
        lo = std::min(lo, bars[i].low), hi = std::max(hi, bars[i].high);
    EXPECT_EQ(pane.minReference(), Formulas::truncToPrec(lo, 2));
    EXPECT_EQ(pane.maxReference(), Formulas::truncToPrec(hi, 2));
    ASSERT_EQ(pane.formulaLines().lineCount(), 2);
    EXPECT_EQ(pane.formulaLines().lineAt(1)->drawType, -1);
    EXPECT_EQ(pane.values(0).size(), 820);
    EXPECT_EQ(pane.values(1).at(750), float(bars[750].low));

    // A window reaching past the data ends the lines with the data.
    pane.setRange(950, 200);
    EXPECT_EQ(pane.values(0).size(), 1000);
    EXPECT_EQ(pane.values(0).last(), float(bars.last().high));
}

TEST(PanePrice, VolumeAndMovingAveragesOverTheSampleDays)
{
    const QVector<Bar> bars = readCsv("sh600000_day.csv");
    ASSERT_EQ(bars.size(), 1000);
    DQDDataList list = dailyList(bars);
    Pane pane(F::eFT_VOL, &list);
    pane.m_params = {5, 10, 7.5f, 0};
    pane.setRange(900, 100);

    const Formulas& f = pane.formulaLines();
    ASSERT_EQ(f.lineCount(), 5);
    EXPECT_EQ(f.lineAt(0)->name, QStringLiteral("VOLUME"));
    EXPECT_EQ(f.lineAt(1)->name, QStringLiteral("MA5"));
    EXPECT_EQ(f.lineAt(2)->name, QStringLiteral("MA10"));
    EXPECT_EQ(f.lineAt(3)->name, QStringLiteral("MA7.5"));
    const int lengths[] = {0, 5, 10, 7};
    for (int k : {0, 3, 4, 9, 500, 999}) {
        EXPECT_EQ(pane.values(0).at(k), float(bars[k].volume)) << k;
        for (int line = 1; line <= 3; ++line) {
            const int n = lengths[line];
            double sum = 0;
            for (int j = 0; j < n && k - j >= 0; ++j)
                sum += bars[k - j].volume;
            EXPECT_EQ(pane.values(line).at(k), k + 1 < n ? kMarker : float(sum / n)) << k << " " << n;
        }
        EXPECT_EQ(pane.values(4).at(k), kMarker); // period 0
    }
    double hi = 0;
    for (int i = 900; i < 1000; ++i)
        hi = std::max(hi, bars[i].volume);
    EXPECT_EQ(pane.maxReference(), hi);
}

TEST(PanePrice, VolumeAverageAfterAMissingVolume)
{
    DQDDataList list = volumeList({100, 200, 300, kZtNoValue, 500, 600, 700});
    Pane pane(F::eFT_VOL, &list);
    pane.m_params = {3};
    pane.setRange(0, 7);
    EXPECT_EQ(pane.values(1), series({kMarker, kMarker, 200, kMarker, 500, 550, 600}));

    // Every value agrees with the state's own average.
    Formulas f;
    f.setup(&list, false, 0, 0, 7, 2);
    for (int i = 0; i < 7; ++i) {
        f.setIndex(i);
        EXPECT_EQ(pane.values(1).at(i), float(f.getMA(eFieldVolume, 3))) << i;
    }
}

TEST(PanePrice, IntradayLinesOverTheSampleMinutes)
{
    const QVector<Bar> bars = readCsv("sh600000_m1.csv");
    ASSERT_GE(bars.size(), 240);
    DQDDataList day = minuteDay(bars, 200);
    Pane price(F::eFT_DLINE, &day, true);
    price.m_params = {1.0f};
    price.setRange(0, 241);
    ASSERT_EQ(price.formulaLines().lineCount(), 2);
    // The average line comes first; both end at the last traded minute.
    EXPECT_EQ(price.values(0).size(), 200);
    EXPECT_EQ(price.values(1).size(), 200);
    EXPECT_EQ(price.values(1).at(0), float(bars[0].open));
    EXPECT_EQ(price.values(1).at(199), float(bars[198].close));
    EXPECT_EQ(price.values(0).at(199), float(day.at(199)->getValue(eFieldAverage).toDouble()));

    price.m_params = {0.0f};
    price.setRange(0, 241);
    EXPECT_EQ(price.formulaLines().lineCount(), 1);
    price.m_params.clear();
    price.setRange(0, 241);
    EXPECT_EQ(price.formulaLines().lineCount(), 0);

    DQDDataList full = minuteDay(bars);
    Pane vol(F::eFT_DLINEVOL, &full, true);
    vol.setRange(0, 241);
    EXPECT_EQ(vol.values(0).size(), 241);
    EXPECT_EQ(vol.values(0).at(240), float(bars[239].volume));
}

TEST(PanePrice, CallAuctionBandAndSeveralDays)
{
    DQDDataList list;
    for (int i = 0; i < 15; ++i)
        list.append(record(20240910091500 + i * 100, 8.0, 1000 + i));
    for (int i = 0; i < 30; ++i)
        list.append(record(20240910093000 + i * 100, 8.5, 10 + i));

    // Only the price and intraday volume panes compute the auction band.
    Pane vol(F::eFT_VOL, &list, true);
    vol.setShowJHJJ(true);
    vol.setRange(0, 45);
    ASSERT_EQ(vol.values(0).size(), 45);
    EXPECT_EQ(vol.values(0).at(14), kMarker);
    EXPECT_EQ(vol.values(0).at(15), 10.0f);
    EXPECT_EQ(vol.maxReference(), 39.0);
    Pane dvol(F::eFT_DLINEVOL, &list, true);
    dvol.setShowJHJJ(true);
    dvol.setRange(0, 45);
    EXPECT_EQ(dvol.values(0).at(0), 1000.0f);

    // Several days: the span starts at the first record with a key and runs
    // to the last one; an empty slot inside it (a day opening late) simply
    // has no value instead of hiding every later day.
    DQDDataList days;
    for (int i = 0; i < 3; ++i)
        days.append(record(-1, 0, 0));
    for (int i = 0; i < 3; ++i)
        days.append(record(20240910093000 + i * 100, 8.5, 10 + i));
    days.append(record(0, 0, 0));
    days.append(record(20240911093100, 9.5, 13));
    days.append(record(-1, 0, 0));
    Pane multi(F::eFT_DLINEVOL, &days, true);
    multi.setShowDRFS(2);
    multi.setRange(0, 9);
    EXPECT_EQ(multi.values(0), series({kMarker, kMarker, kMarker, 10, 11, 12, kMarker, 13}));
    Pane price(F::eFT_DLINE, &days, true);
    price.m_params = {0.0f};
    price.setShowDRFS(2);
    price.setRange(0, 9);
    EXPECT_EQ(price.values(0), series({kMarker, kMarker, kMarker, 8.5, 8.5, 8.5, kMarker, 9.5}));
    EXPECT_EQ(price.maxReference(), 9.5);
}

TEST(PanePrice, CloseLineKeepsGapsAndStopsAtTheData)
{
    DQDDataList list;
    list.append(record(20240101000000, 10, 0));
    list.append(record(-1, 11, 0));
    list.append(record(20240103000000, 12, 0));
    Pane pane(F::eFT_CLOSE, &list);
    pane.setRange(0, 10);
    EXPECT_EQ(pane.values(0), series({10, kMarker, 12}));
    EXPECT_EQ(pane.minReference(), 10.0);
    EXPECT_EQ(pane.maxReference(), 12.0);

    // Any window length: the walk is bounded by the data.
    pane.setRange(1, INT_MAX);
    EXPECT_EQ(pane.values(0).size(), 3);
    EXPECT_EQ(pane.getCrossCurvePointByKlineDataIndex(INT_MAX, 0).x(), int(pane.getX(1)));
}

// ---- catalogue -------------------------------------------------------------

TEST(PaneCatalogue, TitlesParametersAndPermissions)
{
    EXPECT_EQ(F::helpFormulaTypeToQString(F::eFT_VOL), QStringLiteral("VOL"));
    EXPECT_EQ(F::helpFormulaTypeToQString(F::eFT_DLINEVOL), QStringLiteral("VOL"));
    EXPECT_EQ(F::helpFormulaTypeToQString(F::eFT_RZRQ), QStringLiteral("融资融券"));
    for (int t : {-1, 0, 1, 17, 2000, 90001})
        EXPECT_TRUE(F::helpFormulaTypeToQString(F::enumFormulaType(t)).isEmpty()) << t;

    Pane pane(F::eFT_MACD);
    pane.m_params = {12, 0, 26, 9, std::nanf("")};
    const QList<float> p = pane.getThisCFormulaParams();
    ASSERT_EQ(p.size(), 4);
    EXPECT_EQ(p.mid(0, 3), series({12, 26, 9}));
    EXPECT_TRUE(std::isnan(p.at(3)));

    for (int t : {-1, 0, 999, 1000, 2000, 4999, 5000, 90001}) {
        pane.setFormulaType(F::enumFormulaType(t));
        const bool fixed = t >= 1000 && t <= 4999;
        EXPECT_EQ(pane.canChangeFormula(), !fixed) << t;
        EXPECT_EQ(pane.canSetParm(), !fixed) << t;
        EXPECT_EQ(pane.needSpecialValue(), t == 1000 ? 2 : 0) << t;
    }
}

TEST(PaneCatalogue, StoredDefinitionsRoundTripAndBadOnesAreRefused)
{
    const CDFormulaManage saved = F::m_dformulaManage;
    F::CFormulaClass c;
    c.text1 = QStringLiteral("MACD");
    c.text3 = QStringLiteral("DIFF:EMA(CLOSE,SHORT)-EMA(CLOSE,LONG);");
    c.paramNames = QStringList{QStringLiteral("SHORT"), QStringLiteral("LONG"), QStringLiteral("MID")};
    c.paramCount = 3;
    c.paramList1 = series({2, 10, 2});
    c.paramList2 = series({200, 200, 200});
    c.paramValues = series({12, 26, 9});
    c.paramList4 = series({1, 1, 1});
    c.paramList5 = series({0, 0, 0});
    c.number2 = 42;
    ASSERT_TRUE(F::setCFormulaParams(c));

    const F::CFormulaClass back = F::getCFormulaParams(F::eFT_MACD);
    EXPECT_EQ(back.text3, c.text3);
    EXPECT_EQ(back.paramNames, c.paramNames);
    EXPECT_EQ(back.paramList1, c.paramList1);
    EXPECT_EQ(back.paramValues, c.paramValues);
    EXPECT_EQ(back.paramList5, c.paramList5);
    EXPECT_EQ(back.number2, 42);
    EXPECT_EQ(F::getCFormulaParams(F::eFT_DLINE).paramCount, 0);
    EXPECT_TRUE(F::getCFormulaParamsAll(QStringLiteral("NO_SUCH_FORMULA")).paramValues.isEmpty());

    F::CFormulaClass bad = c;
    bad.paramCount = 4; // one more than the lists hold
    EXPECT_FALSE(F::setCFormulaParams(bad));
    bad.paramCount = 17;
    for (int i = 3; i < 17; ++i) {
        bad.paramNames.append(QStringLiteral("P"));
        for (QList<float>* l : {&bad.paramList1, &bad.paramList2, &bad.paramValues,
                                &bad.paramList4, &bad.paramList5})
            l->append(1);
    }
    EXPECT_FALSE(F::setCFormulaParams(bad));
    EXPECT_EQ(F::getCFormulaParams(F::eFT_MACD).paramCount, 3); // the stored one stays

    // The engine path computes with the stored values.
    DQDDataList list = volumeList({1, 2, 3, 4, 5});
    Pane pane(F::eFT_MACD, &list);
    pane.m_params = {1, 2};
    pane.setRange(0, 5);
    EXPECT_EQ(pane.m_params, series({12, 26, 9}));
    F::m_dformulaManage = saved;
}

// ---- pipeline --------------------------------------------------------------

TEST(PanePipeline, PaddingRangeAndRebuild)
{
    DQDDataList list = volumeList({1, 1, 1, 1, 1});
    Pane pane(F::eFT_MACD, &list);
    Line engine;
    for (int i = 0; i < 100; ++i)
        engine.values.append(float(i)), engine.colors.append(i);
    engine.values3 = engine.values;

    // 100 values of a 241-slot day: markers for the 141 untraded slots.
    pane.m_formulaLines.appendLine(engine);
    pane.padLines(0, 100, 241);
    const Line* padded = pane.formulaLines().lineAt(0);
    ASSERT_EQ(padded->values.size(), 241);
    EXPECT_EQ(padded->values.at(99), 99.0f);
    EXPECT_EQ(padded->values.at(100), kMarker);
    EXPECT_EQ(padded->values3.size(), 241);
    EXPECT_TRUE(padded->values2.isEmpty());

    // Computed from 15 on, value k still belongs to record k, and so does
    // its colour code.
    pane.m_formulaLines.clearLines();
    pane.m_formulaLines.appendLine(engine);
    pane.padLines(15, 100, 241);
    padded = pane.formulaLines().lineAt(0);
    ASSERT_EQ(padded->values.size(), 241 + 15);
    EXPECT_EQ(padded->values.at(14), kMarker);
    EXPECT_EQ(padded->values.at(15 + 42), 42.0f);
    EXPECT_EQ(padded->colors.at(15 + 42), 42);

    // The range looks only at the shown window, across every series drawn
    // as values: an icon line counts where its icons stand, not its icon
    // numbers, and a text line only where its text stands.
    Line a, b, icon, text;
    a.values = series({-100, 5, kMarker, 7, 1000});
    a.values2 = series({0, 0, 9});
    b.values4 = series({-9, -9, -9, std::nanf(""), 2e15f});
    icon.drawType = eDRAWICON;
    icon.values = series({0, 6, 6, 6});
    icon.values2 = series({0, 50, 50, 50});
    text.drawType = eDRAWTEXT;
    text.values = series({0, 8});
    text.values2 = series({0, -50});
    pane.setRange(1, 3);
    pane.m_formulaLines.clearLines();
    for (const Line* l : {&a, &b, &icon, &text})
        pane.m_formulaLines.appendLine(*l);
    pane.SetMaxMinValue(kZtNoValue, kZtNoValueMax);
    pane.resetMaxMinValue();
    EXPECT_EQ(pane.minReference(), -9.0);
    EXPECT_EQ(pane.maxReference(), 9.0);

    pane.rebuildForLength(4);
    EXPECT_EQ(pane.values(0), series({5, kMarker, 7, 1000}));
    pane.rebuildForLength(7);
    EXPECT_EQ(pane.values(0), series({kMarker, kMarker, kMarker, 5, kMarker, 7, 1000}));
    EXPECT_EQ(pane.values(1).size(), 7);
}

TEST(PanePipeline, MaColoursFollowTheTheme)
{
    ThemeScope theme;
    PubCacheCustom::mDefultColor.insert(QStringLiteral("KLineMAs"),
                                        {QStringLiteral("#010101"), QStringLiteral("#020202"),
                                         QStringLiteral("#030303")});
    PubCacheCustom::mCustomColor.insert(QStringLiteral("KLineMAs"), {QStringLiteral("#0A0A0A")});
    PubCacheCustom::mDefultColor.insert(QStringLiteral("Default"), {QStringLiteral("#123456")});
    Pane pane(F::eFT_MA);
    for (int i = 0; i < 5; ++i)
        pane.m_formulaLines.appendLine(Line(QString(), eLINE, QPen(QColor(0xEE, 0, 0)), true));
    pane.applyMaThemeColors();
    const QColor expected[] = {QColor(10, 10, 10), QColor(2, 2, 2), QColor(3, 3, 3),
                               QColor(0xEE, 0, 0), QColor(0xEE, 0, 0), QColor(0x12, 0x34, 0x56)};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(pane.getLinePenByIndex(i).color(), expected[i]) << i;
    EXPECT_EQ(pane.getLinePenByIndex(-1).color(), QColor(0x12, 0x34, 0x56));
}

TEST(PanePipeline, CrosshairPointClamping)
{
    DQDDataList list;
    for (int i = 0; i < 20; ++i)
        list.append(record(20240101000000 + i * kDay, 10 + i, 100));
    Pane pane(F::eFT_CLOSE, &list);
    pane.setRange(5, 10);
    auto at = [&](const Pane& p, int k, double v) { return QPoint(int(p.getX(k)), int(p.getY(v))); };

    EXPECT_EQ(pane.getCrossCurvePointByKlineDataIndex(8, 0), at(pane, 3, 18));
    EXPECT_EQ(pane.getCrossCurvePointByKlineDataIndex(2, 0), at(pane, 0, 15));
    // The close line holds values up to the window's end (index 14).
    EXPECT_EQ(pane.getCrossCurvePointByKlineDataIndex(40, 0), at(pane, 9, 24));
    EXPECT_EQ(pane.getCrossCurvePointByKlineDataIndex(-1, 0), QPoint(0, 0));
    EXPECT_EQ(pane.getCrossCurvePointByKlineDataIndex(5, 1), QPoint(0, 0));
    // A window that starts past the line's end: the two clamps would hand
    // the index back and forth.
    pane.setDataShowIndex(17);
    EXPECT_EQ(pane.getCrossCurvePointByKlineDataIndex(3, 0), QPoint(0, 0));
    EXPECT_EQ(pane.getCrossCurvePointByKlineDataIndex(19, 0), QPoint(0, 0));

    // Candles clamp to the window and read the record's close.
    Pane candles(F::eFT_KLINE, &list);
    candles.setRange(5, 10);
    EXPECT_EQ(candles.getCrossCurvePointByKlineDataIndex(30, 1), at(candles, 9, 24));
    EXPECT_EQ(candles.getCrossCurvePointByKlineDataIndex(0, 1), at(candles, 0, 15));
    candles.setDataShowLength(0);
    EXPECT_EQ(candles.getCrossCurvePointByKlineDataIndex(7, 0), QPoint(0, 0));
}

TEST(PanePipeline, NothingToComputeLeavesOrEmptiesTheLines)
{
    DQDDataList list = volumeList({1, 2, 3});
    Pane pane(F::eFT_CLOSE, &list);
    pane.setRange(0, 3);
    ASSERT_EQ(pane.formulaLines().lineCount(), 1);
    pane.setRange(0, 0); // an empty window keeps the previous lines
    pane.setFormulaType(F::eFT_NONE);
    pane.setRange(0, 3);
    EXPECT_EQ(pane.formulaLines().lineCount(), 1);

    pane.setFormulaType(F::eFT_ZJLX); // needs exactly one code
    pane.setRange(0, 3);
    EXPECT_EQ(pane.formulaLines().lineCount(), 0);

    DQDDataList empty;
    Pane none(F::eFT_VOL, &empty);
    none.setRange(0, 10);
    EXPECT_EQ(none.formulaLines().lineCount(), 0);
    EXPECT_EQ(none.getCrossCurvePointByKlineDataIndex(0, 0), QPoint(0, 0));
}
