// The indicator pane: line model, computation state, price and volume lines,
// catalogue and pipeline, over hand-made lists and the sample quotes.

#include <ZtLineLib.h>

#include <gtest/gtest.h>

#include <QFile>
#include <QLocale>
#include <QTextStream>

#include <cmath>
#include <cstring>
#include <random>
#include <stdexcept>

using namespace ZtUIDataStruct;
using Line = Formulas::formulaLine;

namespace {

const float kMarker = float(kZtNoValue);

// Replaces the theme tables for one test and puts the old ones back.
struct ThemeScope
{
    QHash<QString, QStringList> custom = PubCacheCustom::mCustomColor;
    QHash<QString, QStringList> deflt = PubCacheCustom::mDefultColor;
    ThemeScope()
    {
        PubCacheCustom::mCustomColor.clear();
        PubCacheCustom::mDefultColor.clear();
    }
    ~ThemeScope()
    {
        PubCacheCustom::mCustomColor = custom;
        PubCacheCustom::mDefultColor = deflt;
    }
};

// Restores the formula store after a test writes to it.
struct StoreScope
{
    CDFormulaManage saved = ZtLineLib_Formula::m_dformulaManage;
    ~StoreScope() { ZtLineLib_Formula::m_dformulaManage = saved; }
};

struct Bar
{
    qint64 time = 0; // yyyyMMddHHmm for minutes, yyyyMMdd for days
    double open = 0, high = 0, low = 0, close = 0, volume = 0, amount = 0;
};

QVector<Bar> readCsv(const QString& name)
{
    QVector<Bar> bars;
    QFile f(QStringLiteral(ZT_SOURCE_DIR "/data/") + name);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return bars;
    QTextStream in(&f);
    in.readLine();
    while (!in.atEnd()) {
        const QStringList c = in.readLine().split(QLatin1Char(','));
        if (c.size() < 7)
            continue;
        Bar b;
        b.time = c[0].toLongLong();
        b.open = c[1].toDouble();
        b.high = c[2].toDouble();
        b.low = c[3].toDouble();
        b.close = c[4].toDouble();
        b.volume = c[5].toDouble();
        b.amount = c[6].toDouble();
        bars.append(b);
    }
    return bars;
}

DQDUnionReader record(qint64 key, double close, double volume)
{
    DQDUnionReader r;
    r.setUniqueValue(key);
    r.setValue(eFieldDateTime, key);
    r.setValue(eFieldOpen, close);
    r.setValue(eFieldHigh, close);
    r.setValue(eFieldLow, close);
    r.setValue(eFieldClose, close);
    r.setValue(eFieldAverage, close);
    r.setValue(eFieldVolume, volume);
    return r;
}

DQDDataList dailyList(const QVector<Bar>& bars)
{
    DQDDataList list;
    double prev = 0;
    for (const Bar& b : bars) {
        DQDUnionReader r = record(b.time * 1000000, b.close, b.volume);
        r.setValue(eFieldOpen, b.open);
        r.setValue(eFieldHigh, b.high);
        r.setValue(eFieldLow, b.low);
        r.setValue(eFieldPreClose, prev == 0 ? b.open : prev);
        r.setValue(eFieldAmount, b.amount);
        prev = b.close;
        list.append(r);
    }
    return list;
}

// The first trading day of the minute sample as 241 slots: 09:30 holds the
// opening price without volume, then the 240 one-minute bars. Slots from
// tradedSlots on are not traded yet (key −1).
DQDDataList minuteDay(const QVector<Bar>& bars, int tradedSlots = 241)
{
    DQDDataList list;
    if (bars.size() < 240)
        return list;
    const qint64 day = bars[0].time / 10000;
    double amount = 0, volume = 0;
    for (int slot = 0; slot < 241; ++slot) {
        const Bar* b = slot == 0 ? nullptr : &bars[slot - 1];
        const qint64 key = slot == 0 ? (day * 10000 + 930) * 100 : b->time * 100;
        DQDUnionReader r = record(slot < tradedSlots ? key : -1, b ? b->close : bars[0].open,
                                  b ? b->volume : 0);
        if (b) {
            amount += b->amount;
            volume += b->volume;
        }
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
    using ZtLineLib_Formula::ZtLineLib_Formula;
    void FillChild(QPainter*) override {}
    using ZtLineLib_Formula::applyMaThemeColors;
    using ZtLineLib_Formula::createByTagDay;
    using ZtLineLib_Formula::getColorByInt;
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
    EXPECT_EQ(plain.pen.width(), 1);
    EXPECT_EQ(plain.chipMax, kZtNoValue);
    EXPECT_FALSE(plain.useDrawRoutines);
    EXPECT_TRUE(plain.rect.isNull());

    const Line named(QStringLiteral("DIFF"), eSMOOTHLINE, QPen(Qt::red), true);
    EXPECT_EQ(named.name, QStringLiteral("DIFF"));
    EXPECT_EQ(named.drawType, eSMOOTHLINE);
    EXPECT_EQ(named.pen.color(), QColor(Qt::red));
    EXPECT_TRUE(named.showValue);
    EXPECT_FALSE(named.useDrawRoutines);

    Formulas a;
    EXPECT_FALSE(a.moveFirst());
    EXPECT_EQ(a.currentLine(), nullptr);
    a.addLine(named);
    a.addLine(plain);
    Formulas copy(a);
    copy.lineAt(0)->name = QStringLiteral("changed");
    EXPECT_EQ(a.lineAt(0)->name, QStringLiteral("DIFF")); // the copy owns its own lines
    EXPECT_EQ(a.lineAt(2), nullptr);
    EXPECT_EQ(a.lineAt(-1), nullptr);

    Formulas moved(std::move(copy));
    EXPECT_EQ(copy.lineCount(), 0);
    EXPECT_EQ(moved.lineAt(0)->name, QStringLiteral("changed"));
    moved = a;
    EXPECT_EQ(moved.lineAt(0)->name, QStringLiteral("DIFF"));

    EXPECT_TRUE(a.moveFirst());
    EXPECT_EQ(a.currentLine(), a.lineAt(0));
    EXPECT_TRUE(a.moveNext());
    EXPECT_FALSE(a.moveNext());
    EXPECT_EQ(a.currentLine(), a.lineAt(1));
    EXPECT_TRUE(a.moveLast());
    EXPECT_EQ(a.currentLine(), a.lineAt(1));
}

TEST(PaneLineModel, EngineLineConversion)
{
    ThemeScope theme;
    PubCacheCustom::mDefultColor.insert(
        QStringLiteral("FormulasList"),
        {QStringLiteral("#000001"), QStringLiteral("#000002"), QStringLiteral("#000003"),
         QStringLiteral("#000004"), QStringLiteral("#000005"), QStringLiteral("#000006"),
         QStringLiteral("#000007")});

    LineData d;
    d.name = "DIFF";
    d.data1 = {1.0f, 2.0f};
    d.data2 = {3.0f};
    d.colorCodes = {0x0000FF, 0x00FF00};
    d.drawType = eLINE;
    d.param1 = 7;
    d.lineWidth = 2;
    d.lineStyle = 3;
    d.stripColor = StripColor{true, 1, 2, 3};

    // Pure red is the fifth list colour; yellow (0x00FFFF in BGR) the second.
    d.color = 0x0000FF;
    Line red;
    Pane::createByTagDay(&red, &d);
    EXPECT_EQ(red.pen.color(), QColor(0, 0, 5));
    EXPECT_EQ(red.name, QStringLiteral("DIFF"));
    EXPECT_EQ(red.values, series({1.0f, 2.0f}));
    EXPECT_EQ(red.values2, series({3.0f}));
    EXPECT_TRUE(red.values3.isEmpty());
    EXPECT_EQ(red.colors, QList<int>({0x0000FF, 0x00FF00}));
    EXPECT_EQ(red.param1, 7);
    EXPECT_EQ(red.lineWidth, 2);
    EXPECT_EQ(red.lineStyle, 3);
    EXPECT_TRUE(red.stripColor.enable);
    EXPECT_EQ(red.stripColor.color3, 3);
    EXPECT_TRUE(red.rect.isNull()); // no rectangle given

    d.color = 0x00FFFF;
    Line yellow;
    Pane::createByTagDay(&yellow, &d);
    EXPECT_EQ(yellow.pen.color(), QColor(0, 0, 2));

    d.color = 0x000080; // dark red is not a basic colour
    d.rect = Rect{true, 10, 20, 30, 40};
    Line dark;
    dark.pen.setWidth(3);
    Pane::createByTagDay(&dark, &d);
    EXPECT_EQ(dark.pen.color(), QColor(0x80, 0, 0));
    EXPECT_EQ(dark.pen.width(), 3);
    EXPECT_EQ(dark.rect.top(), 10);
    EXPECT_EQ(dark.rect.left(), 20);
    EXPECT_EQ(dark.rect.bottom(), 30);
    EXPECT_EQ(dark.rect.right(), 40);

    d.drawType = eDRAWTEXT;
    d.text = "buy";
    Line text;
    Pane::createByTagDay(&text, &d);
    EXPECT_TRUE(text.name.isEmpty());
    EXPECT_EQ(text.text, QStringLiteral("buy"));
    Pane::createByTagDay(nullptr, &d); // no line, no crash

    EXPECT_EQ(Pane::getColorByInt(0x00332211), QColor(0x11, 0x22, 0x33));
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
    EXPECT_TRUE(FormulaResult::CheckValue(std::nanf("")));
    EXPECT_TRUE(FormulaResult::CheckValue(fromBits(0x7FFFFFFFu)));
    EXPECT_FALSE(FormulaResult::CheckValue(fromBits(0xFFFFFFFFu)));
}

// ---- computation state -----------------------------------------------------

namespace {

// The cut on the shortest plain decimal text, as a reference.
double cutText(double v, int prec)
{
    QString t = QString::number(v, 'f', QLocale::FloatingPointShortest);
    const int dot = t.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        t.truncate(prec < 1 ? dot : dot + 1 + prec);
    return t.toDouble();
}

} // namespace

TEST(PaneState, TruncToPrecCutsLikeTheDecimalText)
{
    EXPECT_EQ(Formulas::truncToPrec(12.3456, 2), 12.34);
    EXPECT_EQ(Formulas::truncToPrec(12.349, 2), 12.34);
    EXPECT_EQ(Formulas::truncToPrec(-12.349, 2), -12.34);
    EXPECT_EQ(Formulas::truncToPrec(0.29, 2), 0.29); // 0.29 · 100 rounds below 29
    EXPECT_EQ(Formulas::truncToPrec(2.675, 2), 2.67);
    EXPECT_EQ(Formulas::truncToPrec(12.9, 0), 12.0);
    EXPECT_EQ(Formulas::truncToPrec(12.9, -3), 12.0);
    EXPECT_EQ(Formulas::truncToPrec(123456789012345678.0, 2), 123456789012345678.0);

    std::mt19937_64 rng(20240910);
    std::uniform_int_distribution<int> precs(0, 8);
    std::uniform_real_distribution<double> mant(-1.0, 1.0);
    std::uniform_int_distribution<int> exps(-8, 17);
    std::uniform_int_distribution<qint64> cents(-10000000000LL, 10000000000LL);
    int mismatches = 0;
    for (int i = 0; i < 200000; ++i) {
        const int p = precs(rng);
        double v;
        switch (i % 4) {
        case 0: v = mant(rng) * std::pow(10.0, exps(rng)); break;
        case 1: v = double(cents(rng)) / std::pow(10.0, p); break;      // on a cut boundary
        case 2: v = double(cents(rng)) / std::pow(10.0, p + 1); break;  // one digit past it
        default: v = std::round(mant(rng) * 1e16); break;               // large whole numbers
        }
        if (Formulas::truncToPrec(v, p) != cutText(v, p) && ++mismatches < 5)
            ADD_FAILURE() << "value " << QString::number(v, 'g', 17).toStdString() << " prec " << p;
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(PaneState, AddValueAlignsAndWidensOnlyOverTheShownWindow)
{
    DQDDataList list;
    for (int i = 0; i < 10; ++i)
        list.append(record(20240101000000 + i * 1000000, 10 + i, 0));
    Formulas f;
    f.setup(&list, false, 3, 6, 4, 2);
    const int k = f.addLine(Line(QString(), eLINE, QPen(), true));
    ASSERT_EQ(f.lineAt(k)->values.size(), 3);
    EXPECT_EQ(f.lineAt(k)->values.at(2), kMarker);

    // Values of indices 3 … 5 are before the window; 6 … 9 widen the range.
    const double values[] = {-50.0, 500.0, 7.0, 1.23456, 2.5, 1e16, 3.999};
    for (double v : values)
        f.addValue(k, v);
    const QList<float>& line = f.lineAt(k)->values;
    ASSERT_EQ(line.size(), 10);
    EXPECT_EQ(line.at(3), -50.0f); // value k belongs to record k
    EXPECT_EQ(line.at(6), 1.23456f);
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
    // A volume whose shortest text needs an exponent still widens exactly.
    f.addValue(j, 123456789012.0);
    EXPECT_EQ(f.maxValue(), 123456789012.0);

    // A value added before the first computed index is an error.
    f.setup(&list, false, 3, 0, 10, 2);
    const int e = f.addLine(Line());
    f.setIndex(2);
    try {
        f.addValue(e, 1.0);
        ADD_FAILURE() << "no index error";
    } catch (const std::runtime_error& err) {
        EXPECT_EQ(QString::fromUtf8(err.what()), QStringLiteral("指标计算是发生Index错误。"));
    }
    EXPECT_EQ(f.lineAt(e)->values.size(), 3);
    f.setIndex(3);
    f.addValue(99, 1.0); // no such line: nothing happens
    EXPECT_EQ(f.lineAt(e)->values.size(), 3);
}

TEST(PaneState, PensReadsAndMovingAverages)
{
    ThemeScope theme;
    PubCacheCustom::mDefultColor.insert(
        QStringLiteral("FormulasList"),
        {QStringLiteral("#100000"), QStringLiteral("#200000"), QStringLiteral("#300000")});
    DQDDataList list;
    const double vols[] = {10, 20, kZtNoValue, 40, 50, 60};
    for (int i = 0; i < 6; ++i)
        list.append(record(20240101000000 + i * 1000000, 1, vols[i]));

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
    EXPECT_EQ(f.getValue(eFieldVolume, -3), kZtNoValue);
    f.setIndex(3);
    EXPECT_EQ(f.getValue(eFieldVolume), 40.0);

    // The gap two back ends the walk: the mean of the two values after it.
    f.setIndex(4);
    EXPECT_EQ(f.getMA(eFieldVolume, 5), 45.0);
    f.setIndex(5);
    EXPECT_EQ(f.getMA(eFieldVolume, 2), 55.0);
    f.setIndex(3);
    EXPECT_EQ(f.getMA(eFieldVolume, 5), kZtNoValue); // fewer than five records yet
    EXPECT_EQ(f.getMA(eFieldVolume, 0), kZtNoValue);
    f.setIndex(2);
    EXPECT_EQ(f.getMA(eFieldVolume, 1), kZtNoValue); // nothing before the gap either
}

// ---- price and volume lines --------------------------------------------------

TEST(PanePrice, CandleRangeOverTheSampleDays)
{
    const QVector<Bar> bars = readCsv(QStringLiteral("sh600000_day.csv"));
    ASSERT_EQ(bars.size(), 1000);
    DQDDataList list = dailyList(bars);
    Pane pane(ZtLineLib_Formula::eFT_KLINE);
    pane.setRect(0, 0, 800, 300);
    pane.setPrec(2);
    pane.setData(&list);
    pane.SetMaxMinValue(kZtNoValue, kZtNoValueMax);
    pane.setRange(700, 120);

    double lo = 1e9, hi = -1e9;
    for (int i = 700; i < 820; ++i) {
        lo = std::min(lo, bars[i].low);
        hi = std::max(hi, bars[i].high);
    }
    EXPECT_EQ(pane.minReference(), Formulas::truncToPrec(lo, 2));
    EXPECT_EQ(pane.maxReference(), Formulas::truncToPrec(hi, 2));
    const Formulas& lines = pane.formulaLines();
    ASSERT_EQ(lines.lineCount(), 2);
    EXPECT_EQ(lines.lineAt(0)->drawType, eKLINE);
    EXPECT_EQ(lines.lineAt(1)->drawType, -1);
    EXPECT_EQ(lines.lineAt(0)->values.size(), 820);
    EXPECT_EQ(lines.lineAt(1)->values.at(750), float(bars[750].low));

    // A window reaching past the data ends the lines with the data.
    pane.setRange(950, 200);
    EXPECT_EQ(pane.formulaLines().lineAt(0)->values.size(), 1000);
    EXPECT_EQ(pane.formulaLines().lineAt(0)->values.last(), float(bars.last().high));
}

TEST(PanePrice, VolumeAndMovingAveragesOverTheSampleDays)
{
    const QVector<Bar> bars = readCsv(QStringLiteral("sh600000_day.csv"));
    ASSERT_EQ(bars.size(), 1000);
    DQDDataList list = dailyList(bars);
    Pane pane(ZtLineLib_Formula::eFT_VOL);
    pane.m_params = {5, 10, 7.5f, 0};
    pane.setRect(0, 0, 800, 300);
    pane.setData(&list);
    pane.SetMaxMinValue(kZtNoValue, kZtNoValueMax);
    pane.setRange(900, 100);

    const Formulas& f = pane.formulaLines();
    ASSERT_EQ(f.lineCount(), 5);
    EXPECT_EQ(f.lineAt(0)->name, QStringLiteral("VOLUME"));
    EXPECT_EQ(f.lineAt(0)->drawType, eVOLSTICK);
    EXPECT_EQ(f.lineAt(1)->name, QStringLiteral("MA5"));
    EXPECT_EQ(f.lineAt(2)->name, QStringLiteral("MA10"));
    EXPECT_EQ(f.lineAt(3)->name, QStringLiteral("MA7.5"));
    EXPECT_EQ(f.lineAt(4)->name, QStringLiteral("MA0"));

    for (int k : {0, 3, 4, 9, 500, 999}) {
        EXPECT_EQ(f.lineAt(0)->values.at(k), float(bars[k].volume)) << k;
        for (int line = 1; line <= 3; ++line) {
            const int n = line == 1 ? 5 : line == 2 ? 10 : 7;
            if (k + 1 < n) {
                EXPECT_EQ(f.lineAt(line)->values.at(k), kMarker) << k;
                continue;
            }
            double sum = 0;
            for (int j = 0; j < n; ++j)
                sum += bars[k - j].volume;
            EXPECT_EQ(f.lineAt(line)->values.at(k), float(sum / n)) << k << " MA" << n;
        }
        EXPECT_EQ(f.lineAt(4)->values.at(k), kMarker);
    }

    double hi = 0;
    for (int i = 900; i < 1000; ++i)
        hi = std::max(hi, bars[i].volume);
    EXPECT_EQ(pane.maxReference(), hi);
}

TEST(PanePrice, VolumeAverageAfterAMissingVolume)
{
    DQDDataList list;
    const double vols[] = {100, 200, 300, kZtNoValue, 500, 600, 700};
    for (int i = 0; i < 7; ++i)
        list.append(record(20240101000000 + i * 1000000, 1, vols[i]));
    Pane pane(ZtLineLib_Formula::eFT_VOL);
    pane.m_params = {3};
    pane.setRect(0, 0, 100, 100);
    pane.setData(&list);
    pane.setRange(0, 7);
    const QList<float>& ma = pane.formulaLines().lineAt(1)->values;
    EXPECT_EQ(ma, series({kMarker, kMarker, 200, kMarker, 500, 550, 600}));
    EXPECT_EQ(pane.formulaLines().lineAt(0)->values.at(3), kMarker);

    // Every moving-average value agrees with the state's own average.
    Formulas f;
    f.setup(&list, false, 0, 0, 7, 2);
    for (int i = 0; i < 7; ++i) {
        f.setIndex(i);
        EXPECT_EQ(ma.at(i), float(f.getMA(eFieldVolume, 3))) << i;
    }
}

TEST(PanePrice, IntradayLinesOverTheSampleMinutes)
{
    const QVector<Bar> bars = readCsv(QStringLiteral("sh600000_m1.csv"));
    ASSERT_GE(bars.size(), 240);
    DQDDataList day = minuteDay(bars, 200);
    Pane price(ZtLineLib_Formula::eFT_DLINE);
    price.setIsDLine(true);
    price.m_params = {1.0f};
    price.setRect(0, 0, 800, 300);
    price.setPrec(2);
    price.setData(&day);
    price.setRange(0, 241);
    const Formulas& f = price.formulaLines();
    ASSERT_EQ(f.lineCount(), 2);
    const Line* average = f.lineAt(0);
    const Line* close = f.lineAt(1);
    EXPECT_FALSE(average->showValue);
    // The lines end at the last traded minute.
    EXPECT_EQ(close->values.size(), 200);
    EXPECT_EQ(average->values.size(), 200);
    EXPECT_EQ(close->values.at(0), float(bars[0].open));
    EXPECT_EQ(close->values.at(199), float(bars[198].close));
    EXPECT_EQ(average->values.at(199), float(day.at(199)->getValue(eFieldAverage).toDouble()));

    price.m_params = {0.0f};
    price.setRange(0, 241);
    ASSERT_EQ(price.formulaLines().lineCount(), 1);
    EXPECT_EQ(price.formulaLines().lineAt(0)->values.size(), 200);
    price.m_params = {};
    price.setRange(0, 241);
    EXPECT_EQ(price.formulaLines().lineCount(), 0);

    // A full day: the intraday volume line covers all 241 slots.
    DQDDataList full = minuteDay(bars);
    Pane vol(ZtLineLib_Formula::eFT_DLINEVOL);
    vol.setIsDLine(true);
    vol.setRect(0, 0, 800, 100);
    vol.setData(&full);
    vol.setRange(0, 241);
    ASSERT_EQ(vol.formulaLines().lineCount(), 1);
    EXPECT_EQ(vol.formulaLines().lineAt(0)->drawType, eVOLSTICK2);
    EXPECT_EQ(vol.formulaLines().lineAt(0)->values.size(), 241);
    EXPECT_EQ(vol.formulaLines().lineAt(0)->values.at(240), float(bars[239].volume));
}

TEST(PanePrice, CallAuctionBandStartsTheOtherPanesAtTheOpening)
{
    DQDDataList list;
    for (int i = 0; i < 15; ++i)
        list.append(record(202409100915 * 100 + i * 100, 8.0, 1000 + i));
    for (int i = 0; i < 30; ++i)
        list.append(record(202409100930 * 100 + i * 100, 8.5, 10 + i));

    Pane vol(ZtLineLib_Formula::eFT_VOL);
    vol.setIsDLine(true);
    vol.setShowJHJJ(true);
    vol.setRect(0, 0, 300, 100);
    vol.setData(&list);
    vol.setRange(0, 45);
    const QList<float>& v = vol.formulaLines().lineAt(0)->values;
    ASSERT_EQ(v.size(), 45);
    EXPECT_EQ(v.at(14), kMarker);
    EXPECT_EQ(v.at(15), 10.0f);
    EXPECT_EQ(vol.maxReference(), 39.0); // the auction volumes never widen the range

    Pane dvol(ZtLineLib_Formula::eFT_DLINEVOL);
    dvol.setIsDLine(true);
    dvol.setShowJHJJ(true);
    dvol.setRect(0, 0, 300, 100);
    dvol.setData(&list);
    dvol.setRange(0, 45);
    EXPECT_EQ(dvol.formulaLines().lineAt(0)->values.at(0), 1000.0f);

    // Several days: the span starts at the first record with a key.
    DQDDataList days;
    for (int i = 0; i < 3; ++i)
        days.append(record(-1, 0, 0));
    for (int i = 0; i < 5; ++i)
        days.append(record(202409100930 * 100 + i * 100, 8.5, 10 + i));
    Pane multi(ZtLineLib_Formula::eFT_DLINEVOL);
    multi.setIsDLine(true);
    multi.setShowDRFS(2);
    multi.setRect(0, 0, 300, 100);
    multi.setData(&days);
    multi.setRange(0, 8);
    EXPECT_EQ(multi.formulaLines().lineAt(0)->values, series({kMarker, kMarker, kMarker, 10, 11, 12, 13, 14}));
}

TEST(PanePrice, CloseLineKeepsGapsAndStopsAtTheData)
{
    DQDDataList list;
    list.append(record(20240101000000, 10, 0));
    list.append(record(-1, 11, 0));
    list.append(record(20240103000000, 12, 0));
    Pane pane(ZtLineLib_Formula::eFT_CLOSE);
    pane.setRect(0, 0, 300, 100);
    pane.setData(&list);
    pane.setRange(0, 10);
    EXPECT_EQ(pane.formulaLines().lineAt(0)->values, series({10, kMarker, 12}));
    EXPECT_EQ(pane.minReference(), 10.0);
    EXPECT_EQ(pane.maxReference(), 12.0);
}

// ---- catalogue -------------------------------------------------------------

TEST(PaneCatalogue, TitlesAndPermissions)
{
    using F = ZtLineLib_Formula;
    EXPECT_EQ(F::helpFormulaTypeToQString(F::eFT_VOL), QStringLiteral("VOL"));
    EXPECT_EQ(F::helpFormulaTypeToQString(F::eFT_DLINEVOL), QStringLiteral("VOL"));
    EXPECT_EQ(F::helpFormulaTypeToQString(F::eFT_AB), QStringLiteral("AB"));
    EXPECT_EQ(F::helpFormulaTypeToQString(F::eFT_RZRQ), QStringLiteral("融资融券"));
    for (int t : {-1, 0, 1, 17, 999, 2000, 90001})
        EXPECT_TRUE(F::helpFormulaTypeToQString(F::enumFormulaType(t)).isEmpty()) << t;

    Pane pane(F::eFT_MACD);
    pane.m_params = {12, 0, 26, 9, std::nanf("")};
    const QList<float> p = pane.getThisCFormulaParams();
    ASSERT_EQ(p.size(), 4);
    EXPECT_EQ(p.mid(0, 3), series({12, 26, 9}));
    EXPECT_TRUE(std::isnan(p.at(3)));

    for (int t : {-1, 0, 16, 90001, 999, 5000}) {
        pane.setFormulaType(F::enumFormulaType(t));
        EXPECT_TRUE(pane.canChangeFormula()) << t;
        EXPECT_TRUE(pane.canSetParm()) << t;
    }
    for (int t : {1000, 2000, 4999}) {
        pane.setFormulaType(F::enumFormulaType(t));
        EXPECT_FALSE(pane.canChangeFormula()) << t;
        EXPECT_FALSE(pane.canSetParm()) << t;
    }
    pane.setFormulaType(F::eFT_YDCM);
    EXPECT_EQ(pane.needSpecialValue(), 0);
    pane.setFormulaType(F::eFT_CMSD);
    EXPECT_EQ(pane.needSpecialValue(), 2);
    pane.setFormulaType(F::eFT_MMLD);
    EXPECT_EQ(pane.needSpecialValue(), 2);
}

TEST(PaneCatalogue, StoredDefinitionsRoundTripAndBadOnesAreRefused)
{
    using F = ZtLineLib_Formula;
    StoreScope store;
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
    EXPECT_EQ(back.paramCount, 3);
    EXPECT_EQ(back.paramNames, c.paramNames);
    EXPECT_EQ(back.paramList1, c.paramList1);
    EXPECT_EQ(back.paramValues, c.paramValues);
    EXPECT_EQ(back.paramList5, c.paramList5);
    EXPECT_EQ(back.number2, 42);
    EXPECT_EQ(F::getCFormulaParams(F::eFT_DLINE).paramCount, 0);
    EXPECT_TRUE(F::getCFormulaParamsAll(QStringLiteral("KDJ")).paramValues.isEmpty());

    F::CFormulaClass shortList = c;
    shortList.paramCount = 4; // one more than the lists hold
    EXPECT_FALSE(F::setCFormulaParams(shortList));
    F::CFormulaClass tooMany = c;
    tooMany.paramCount = 17;
    for (int i = 3; i < 17; ++i) {
        tooMany.paramNames.append(QStringLiteral("P"));
        for (QList<float>* l : {&tooMany.paramList1, &tooMany.paramList2, &tooMany.paramValues,
                                &tooMany.paramList4, &tooMany.paramList5})
            l->append(1);
    }
    EXPECT_FALSE(F::setCFormulaParams(tooMany));
    EXPECT_EQ(F::getCFormulaParams(F::eFT_MACD).paramCount, 3); // the stored one stays

    // The engine path computes with the stored values; the evaluator gives
    // nothing yet, so the pane has no lines.
    DQDDataList list;
    for (int i = 0; i < 30; ++i)
        list.append(record(20240101000000 + i * 1000000, 10 + i, 100));
    Pane pane(F::eFT_MACD);
    pane.m_params = {1, 2};
    pane.setRect(0, 0, 300, 100);
    pane.setData(&list);
    pane.setRange(0, 30);
    EXPECT_EQ(pane.m_params, series({12, 26, 9}));
}

// ---- pipeline --------------------------------------------------------------

TEST(PanePipeline, PaddingRebuildAndRange)
{
    DQDDataList list;
    for (int i = 0; i < 241; ++i)
        list.append(record(i < 100 ? 202409100930 * 100 + i * 100 : 0, 1, 1));
    Pane pane(ZtLineLib_Formula::eFT_MACD);
    pane.setData(&list);
    Line engine;
    for (int i = 0; i < 100; ++i) {
        engine.values.append(float(i));
        engine.colors.append(i);
    }
    engine.values3 = engine.values;
    pane.m_formulaLines.appendLine(engine);
    pane.padLines(0, 100, 241);
    const Line* padded = pane.formulaLines().lineAt(0);
    ASSERT_EQ(padded->values.size(), 241);
    EXPECT_EQ(padded->values.at(99), 99.0f);
    EXPECT_EQ(padded->values.at(100), kMarker);
    EXPECT_EQ(padded->values3.size(), 241);
    EXPECT_TRUE(padded->values2.isEmpty());
    EXPECT_EQ(padded->colors.size(), 241);

    // With a start of 15 value k still belongs to record k.
    pane.m_formulaLines.clearLines();
    pane.m_formulaLines.appendLine(engine);
    pane.padLines(15, 100, 241);
    padded = pane.formulaLines().lineAt(0);
    ASSERT_EQ(padded->values.size(), 241 + 15);
    EXPECT_EQ(padded->values.at(14), kMarker);
    EXPECT_EQ(padded->values.at(15), 0.0f);
    EXPECT_EQ(padded->colors.at(15 + 42), 42);

    // The range looks only at the shown window, across every series.
    pane.m_formulaLines.clearLines();
    Line a;
    a.values = series({-100, 5, kMarker, 7, 1000});
    a.values2 = series({0, 0, 9});
    Line b;
    b.values4 = series({-9, -9, -9, std::nanf(""), 2e15f});
    pane.m_formulaLines.appendLine(a);
    pane.m_formulaLines.appendLine(b);
    pane.setRange(1, 3); // no lines are computed for a type without a stored formula
    pane.m_formulaLines.clearLines();
    pane.m_formulaLines.appendLine(a);
    pane.m_formulaLines.appendLine(b);
    pane.SetMaxMinValue(kZtNoValue, kZtNoValueMax);
    pane.resetMaxMinValue();
    EXPECT_EQ(pane.minReference(), -9.0);
    EXPECT_EQ(pane.maxReference(), 9.0);

    pane.rebuildForLength(4);
    EXPECT_EQ(pane.formulaLines().lineAt(0)->values, series({5, kMarker, 7, 1000}));
    pane.rebuildForLength(7);
    EXPECT_EQ(pane.formulaLines().lineAt(0)->values,
              series({kMarker, kMarker, kMarker, 5, kMarker, 7, 1000}));
    EXPECT_EQ(pane.formulaLines().lineAt(1)->values.size(), 7);
}

TEST(PanePipeline, MaColoursFollowTheTheme)
{
    ThemeScope theme;
    PubCacheCustom::mDefultColor.insert(QStringLiteral("KLineMAs"),
                                        {QStringLiteral("#010101"), QStringLiteral("#020202"),
                                         QStringLiteral("#030303")});
    PubCacheCustom::mCustomColor.insert(QStringLiteral("KLineMAs"), {QStringLiteral("#0A0A0A")});
    Pane pane(ZtLineLib_Formula::eFT_MA);
    for (int i = 0; i < 5; ++i)
        pane.m_formulaLines.appendLine(Line(QString(), eLINE, QPen(QColor(0xEE, 0, 0)), true));
    pane.applyMaThemeColors();
    EXPECT_EQ(pane.getLinePenByIndex(0).color(), QColor(10, 10, 10));
    EXPECT_EQ(pane.getLinePenByIndex(1).color(), QColor(2, 2, 2));
    EXPECT_EQ(pane.getLinePenByIndex(2).color(), QColor(3, 3, 3));
    EXPECT_EQ(pane.getLinePenByIndex(3).color(), QColor(0xEE, 0, 0));
    EXPECT_EQ(pane.getLinePenByIndex(4).color(), QColor(0xEE, 0, 0));

    PubCacheCustom::mDefultColor.insert(QStringLiteral("Default"), {QStringLiteral("#123456")});
    EXPECT_EQ(pane.getLinePenByIndex(5).color(), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(pane.getLinePenByIndex(-1).color(), QColor(0x12, 0x34, 0x56));
}

TEST(PanePipeline, CrosshairPointClamping)
{
    DQDDataList list;
    for (int i = 0; i < 20; ++i)
        list.append(record(20240101000000 + i * 1000000, 10 + i, 100 + i));
    Pane pane(ZtLineLib_Formula::eFT_CLOSE);
    pane.setRect(0, 0, 200, 100);
    pane.setData(&list);
    pane.SetMaxMinValue(kZtNoValue, kZtNoValueMax);
    pane.setRange(5, 10);
    ASSERT_EQ(pane.formulaLines().lineCount(), 1);

    const QPoint first(int(pane.getX(0)), int(pane.getY(15)));
    EXPECT_EQ(pane.getCrossCurvePointByKlineDataIndex(5, 0), first);
    EXPECT_EQ(pane.getCrossCurvePointByKlineDataIndex(2, 0), first);
    EXPECT_EQ(pane.getCrossCurvePointByKlineDataIndex(8, 0),
              QPoint(int(pane.getX(3)), int(pane.getY(18))));
    // The close line holds values up to the window's end (index 14).
    EXPECT_EQ(pane.getCrossCurvePointByKlineDataIndex(40, 0),
              QPoint(int(pane.getX(9)), int(pane.getY(24))));
    EXPECT_EQ(pane.getCrossCurvePointByKlineDataIndex(-1, 0), QPoint(0, 0));
    EXPECT_EQ(pane.getCrossCurvePointByKlineDataIndex(5, 1), QPoint(0, 0));

    // A window that starts past the line's end: the two clamps would hand
    // the index back and forth.
    pane.setDataShowIndex(17);
    EXPECT_EQ(pane.getCrossCurvePointByKlineDataIndex(3, 0), QPoint(0, 0));
    EXPECT_EQ(pane.getCrossCurvePointByKlineDataIndex(19, 0), QPoint(0, 0));

    // Candles clamp to the window and read the close of the record.
    Pane candles(ZtLineLib_Formula::eFT_KLINE);
    candles.setRect(0, 0, 200, 100);
    candles.setData(&list);
    candles.SetMaxMinValue(kZtNoValue, kZtNoValueMax);
    candles.setRange(5, 10);
    EXPECT_EQ(candles.getCrossCurvePointByKlineDataIndex(30, 1),
              QPoint(int(candles.getX(9)), int(candles.getY(24))));
    EXPECT_EQ(candles.getCrossCurvePointByKlineDataIndex(0, 1),
              QPoint(int(candles.getX(0)), int(candles.getY(15))));
    candles.setDataShowLength(0);
    EXPECT_EQ(candles.getCrossCurvePointByKlineDataIndex(7, 0), QPoint(0, 0));
}

TEST(PanePipeline, NothingToComputeLeavesOrEmptiesTheLines)
{
    DQDDataList list;
    for (int i = 0; i < 10; ++i)
        list.append(record(20240101000000 + i * 1000000, 10 + i, 100));
    Pane pane(ZtLineLib_Formula::eFT_CLOSE);
    pane.setRect(0, 0, 100, 100);
    pane.setData(&list);
    pane.setRange(0, 10);
    ASSERT_EQ(pane.formulaLines().lineCount(), 1);

    pane.setRange(0, 0); // an empty window keeps the previous lines
    EXPECT_EQ(pane.formulaLines().lineCount(), 1);
    pane.setFormulaType(ZtLineLib_Formula::eFT_NONE);
    pane.setRange(0, 10);
    EXPECT_EQ(pane.formulaLines().lineCount(), 1);

    // Data-service types need exactly one code; margins only for bars.
    pane.setFormulaType(ZtLineLib_Formula::eFT_ZJLX);
    pane.setRange(0, 10);
    EXPECT_EQ(pane.formulaLines().lineCount(), 0);
    pane.setFormulaType(ZtLineLib_Formula::enumFormulaType(777));
    pane.setRange(0, 10);
    EXPECT_EQ(pane.formulaLines().lineCount(), 0);

    DQDDataList empty;
    Pane none(ZtLineLib_Formula::eFT_VOL);
    none.setData(&empty);
    none.setRange(0, 10);
    EXPECT_EQ(none.formulaLines().lineCount(), 0);
    EXPECT_EQ(none.getCrossCurvePointByKlineDataIndex(0, 0), QPoint(0, 0));
}
