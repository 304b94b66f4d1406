// The indicator pane's model (line model, computation state and catalogue)
// over hand-made lists, and its computed lines: price and volume lines over
// the sample quotes, and the pipeline from range to lines.

#include "TestKit.h"

#include <QLocale>

#include <climits>
#include <cmath>
#include <cstring>
#include <random>
#include <stdexcept>

using namespace ZtUIDataStruct;
using namespace indicatorpane;
using Line = Formulas::formulaLine;
using F = ZtLineLib_Formula;

// ---- line model ------------------------------------------------------------

TEST(PaneLineModel, DefaultPenAndCopiesOwnTheirLines)
{
    testkit::ThemeColours theme{{"Default", "#808080"}};
    EXPECT_EQ(Line().pen.color(), QColor(0x80, 0x80, 0x80));
    // Copies (assigned or built) own their lines; a moved-from container is empty.
    Formulas a;
    a.addLine(Line(QStringLiteral("DIFF"), eSMOOTHLINE, QPen(Qt::red), true));
    Formulas copy;
    ASSERT_EQ((copy = a).lineCount(), 1);
    copy.lineAt(0)->name = QStringLiteral("changed");
    EXPECT_EQ(a.lineAt(0)->name, QStringLiteral("DIFF"));
    Formulas moved(std::move(copy));
    EXPECT_EQ(copy.lineCount(), 0);
    EXPECT_EQ(moved.lineAt(0)->name, QStringLiteral("changed"));
    // The cursor stops at the last line.
    a.addLine(Line());
    EXPECT_TRUE(a.moveLast() && a.moveFirst() && a.moveNext());
    EXPECT_FALSE(a.moveNext() || a.moveTo(2));
    EXPECT_EQ(a.currentLine(), a.lineAt(1));
}

TEST(PaneLineModel, EngineLinesAndListPensTakeTheThemeList)
{
    testkit::ThemeColours theme;
    theme.clear();
    QStringList list;
    for (int i = 1; i <= 7; ++i)
        list.append(QColor(0, 0, i).name());
    PubCacheCustom::mDefultColor.insert(QStringLiteral("FormulasList"), list);
    // The list's pens in turn; the eighth wraps round.
    Formulas pens;
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(pens.nextListPen().color(), QColor(0, 0, i % 7 + 1)) << i;

    LineData d;
    d.name = "DIFF";
    d.data1 = {1.0f, 2.0f};
    d.data2 = {3.0f};
    d.colorCodes = {0x0000FF, 0x00FF00};
    d.lineWidth = 2;
    d.stripColor = StripColor{true, 1, 2, 3};
    Line red;
    Pane::createByTagDay(&red, &d);
    EXPECT_EQ(std::make_tuple(red.name, red.values, red.values2, red.values3, red.colors),
              std::make_tuple(QStringLiteral("DIFF"), Series({1, 2}), Series({3}), QList<float>(),
                              QList<int>({0x0000FF, 0x00FF00})));
    EXPECT_EQ(std::make_pair(red.lineWidth, red.stripColor.color3), std::make_pair(2, 3));
    EXPECT_TRUE(red.rect.isNull()); // no rectangle given

    // Basic colours (0x00BBGGRR) take their entry of the list, others stay.
    for (auto [code, colour] : {std::pair{0x0000FF, QColor(0, 0, 5)}, {0x00FFFF, QColor(0, 0, 2)},
                                {0x00FF00, QColor(0, 0, 4)}, {0x000080, QColor(0x80, 0, 0)}}) {
        d.color = code;
        Pane::createByTagDay(&red, &d);
        EXPECT_EQ(red.pen.color(), colour) << code;
    }
    // A text line has no name.
    d.rect = Rect{true, 10, 20, 30, 40};
    d.drawType = eDRAWTEXT;
    d.text = "buy";
    Pane::createByTagDay(&red, &d);
    EXPECT_EQ(std::make_tuple(red.rect, red.name, red.text),
              std::make_tuple(QRect(QPoint(20, 10), QPoint(40, 30)), QString(), QStringLiteral("buy")));
    Pane::createByTagDay(nullptr, &d);

    // To the engine only the all-ones pattern is no value; NaN and the marker are values.
    float ones;
    std::memset(&ones, 0xFF, sizeof ones);
    EXPECT_EQ(QList<bool>({FormulaResult::CheckValue(kMarker), FormulaResult::CheckValue(-std::nanf("")),
                           FormulaResult::CheckValue(ones)}),
              QList<bool>({true, true, false}));
}

// ---- computation state -----------------------------------------------------

TEST(PaneState, TruncToPrecCutsLikeTheDecimalText)
{
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
    for (int i = 0; i < 200000; ++i) {
        const int p = precs(rng);
        double v;
        switch (i % 4) {
        case 0: v = mant(rng) * std::pow(10.0, exps(rng)); break;
        case 1: v = double(digits(rng)) / std::pow(10.0, p); break;     // on a cut boundary
        case 2: v = double(digits(rng)) / std::pow(10.0, p + 1); break; // one digit past it
        default: v = std::round(mant(rng) * 1e16); break;               // large whole numbers
        }
        ASSERT_EQ(Formulas::truncToPrec(v, p), cutText(v, p)) << QString::number(v, 'g', 17).toStdString()
                                                              << " prec " << p;
    }
}

TEST(PaneState, AddValueAlignsAndWidensOnlyOverTheShownWindow)
{
    DQDDataList list = volumeList({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    Formulas f;
    f.setup(&list, false, 3, 6, 4, 2);
    // Reads go to the records; past the last one there is nothing.
    EXPECT_EQ(std::make_pair(f.getValue(eFieldVolume, 1), f.getValue(eFieldVolume, 10)),
              std::make_pair(1.0, kZtNoValue));
    const int k = f.addLine(Line());
    EXPECT_EQ(f.lineAt(k)->values, Series({kMarker, kMarker, kMarker}));

    // Indices 3 … 5 lie before the window; only 6 … 9 widen the range.
    for (double v : {-50.0, 500.0, 7.0, 1.23456, 2.5, 1e16, 3.999})
        f.addValue(k, v);
    // Value k belongs to record k; 1e16 has no value.
    EXPECT_EQ(f.lineAt(k)->values, Series({kMarker, kMarker, kMarker, -50, 500, 7, 1.23456f, 2.5, kMarker, 3.999f}));
    EXPECT_EQ(std::make_pair(f.minValue(), f.maxValue()), std::make_pair(1.23, 3.99));

    // The first value in the window sets both ends.
    f.setup(&list, false, 0, 0, 10, 2);
    const int j = f.addLine(Line());
    f.addValue(j, std::nan(""));
    EXPECT_EQ(f.maxValue(), kZtNoValue);
    f.addValue(j, 4.5678);
    EXPECT_EQ(std::make_pair(f.minValue(), f.maxValue()), std::make_pair(4.56, 4.56));
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

// ---- catalogue -------------------------------------------------------------

TEST(PaneCatalogue, TitlesParametersAndPermissions)
{
    // Hosts store the type codes: the codes are part of the interface.
    const std::pair<int, const char*> titles[] = {{F::eFT_VOL, "VOL"}, {F::eFT_DLINEVOL, "VOL"}, {1006, "融资融券"}};
    for (const auto& t : titles)
        EXPECT_EQ(F::helpFormulaTypeToQString(F::enumFormulaType(t.first)), QString::fromUtf8(t.second)) << t.first;
    for (int t : {-1, 0, 1, 17, 2000, 90001})
        EXPECT_TRUE(F::helpFormulaTypeToQString(F::enumFormulaType(t)).isEmpty()) << t;
    // The newest user formula's code is the last one that names a formula.
    const F::enumFormulaType newest = F::userFormulaType(QStringLiteral("CATALOGUE_NEWEST"));
    EXPECT_TRUE(F::isUserFormulaType(newest));
    EXPECT_FALSE(F::isUserFormulaType(F::enumFormulaType(newest + 1)));
    EXPECT_EQ(F::userFormulaType(QStringLiteral("AB")), F::eFT_AB); // the last built-in name too

    Pane pane(F::eFT_MACD);
    pane.m_params = {12, 0, 26, 9, std::nanf("")};
    const QList<float> p = pane.getThisCFormulaParams();
    ASSERT_EQ(p.size(), 4);
    EXPECT_EQ(p.mid(0, 3), Series({12, 26, 9}));
    EXPECT_TRUE(std::isnan(p.at(3)));

    for (int t : {-1, 0, 999, 1000, 2000, 4999, 5000, 90001}) {
        pane.setFormulaType(F::enumFormulaType(t));
        const bool fixed = t >= 1000 && t <= 4999;
        EXPECT_EQ(std::make_tuple(pane.canChangeFormula(), pane.canSetParm(), pane.needSpecialValue()),
                  std::make_tuple(!fixed, !fixed, t == 1000 ? 2 : 0)) << t;
    }
}

TEST(PaneCatalogue, StoredDefinitionsRoundTripAndBadOnesAreRefused)
{
    const CDFormulaManage saved = F::m_dformulaManage;
    F::CFormulaClass c = F::getCFormulaParams(F::eFT_MACD);
    c.text3 = QStringLiteral("DIFF:EMA(CLOSE,SHORT)-EMA(CLOSE,LONG);");
    c.paramList1 = Series({2, 10, 2});
    c.paramValues = Series({7, 26, 9});
    c.paramList5 = Series({3, 3, 3});
    c.number2 = 42;
    ASSERT_TRUE(F::setCFormulaParams(c));

    const F::CFormulaClass back = F::getCFormulaParams(F::eFT_MACD);
    EXPECT_EQ(std::make_tuple(back.text2, back.text3, back.paramNames, back.number2),
              std::make_tuple(c.text2, c.text3, c.paramNames, 42));
    EXPECT_EQ(QList<QList<float>>({back.paramList1, back.paramValues, back.paramList5}),
              QList<QList<float>>({c.paramList1, c.paramValues, c.paramList5}));
    EXPECT_EQ(F::getCFormulaParams(F::eFT_DLINE).paramCount, 0);
    EXPECT_TRUE(F::getCFormulaParamsAll(QStringLiteral("NO_SUCH_FORMULA")).paramValues.isEmpty());

    F::CFormulaClass bad = c;
    bad.paramCount = 4; // one more than the lists hold
    EXPECT_FALSE(F::setCFormulaParams(bad));
    bad.paramCount = 17;
    bad.paramNames = QVector<QString>(17, QStringLiteral("P")).toList();
    bad.paramList1 = bad.paramList2 = bad.paramValues = bad.paramList4 = bad.paramList5 =
        QVector<float>(17, 1).toList();
    EXPECT_FALSE(F::setCFormulaParams(bad));
    EXPECT_EQ(F::getCFormulaParams(F::eFT_MACD).paramValues, c.paramValues); // the stored one stays
    bad.paramCount = 0; // no parameters at all is a definition too
    EXPECT_TRUE(F::setCFormulaParams(bad));
    F::m_dformulaManage = saved;
}

// ---- price and volume lines --------------------------------------------------

// The volume averages over the sample are printed by the program tests;
// here the periods that are not whole or not positive.
TEST(PanePrice, VolumeAveragesOfEveryPeriodAndAfterAMissingVolume)
{
    DQDDataList list = volumeList({100, 200, 300, kZtNoValue, 500, 600, 700});
    Pane pane(F::eFT_VOL, &list);
    pane.m_params = {3, 2.5f, 0};
    pane.setRange(5, 2);
    EXPECT_EQ(testkit::lineNames(pane.formulaLines()), QStringList({"VOLUME", "MA3", "MA2.5", "MA0"}));
    // Every line from the first record whatever the window; a gap ends the
    // walk back: the mean of the values after it.
    EXPECT_EQ(pane.values(0), Series({100, 200, 300, kMarker, 500, 600, 700}));
    EXPECT_EQ(pane.values(1), Series({kMarker, kMarker, 200, kMarker, 500, 550, 600}));
    EXPECT_EQ(pane.values(2), Series({kMarker, 150, 250, kMarker, 500, 550, 650}));
    EXPECT_EQ(pane.values(3), QVector<float>(7, kMarker).toList());
}

TEST(PanePrice, IntradayLinesEndAtTheLastTradedMinute)
{
    DQDDataList day;
    day.append(record(20240910093000, 8.0, 10));
    day.append(record(20240910093100, 8.2, 10));
    day.append(record(-1, 0, 0)); // not traded yet
    day.at(1)->setValue(eFieldAverage, 8.1);
    Pane price(F::eFT_DLINE, &day, true);
    price.m_params = {1.0f};
    price.setRange(0, 241);
    // The average line comes first.
    EXPECT_EQ(QList<Series>({price.values(0), price.values(1)}), QList<Series>({{8.0f, 8.1f}, {8.0f, 8.2f}}));

    for (auto [params, count] : {std::pair{QList<float>{0.0f}, 1}, {QList<float>(), 0}}) {
        price.m_params = params;
        price.setRange(0, 241);
        EXPECT_EQ(price.formulaLines().lineCount(), count);
    }
}

TEST(PanePrice, CallAuctionBandAndSeveralDays)
{
    DQDDataList list;
    for (int i = 0; i < 15; ++i)
        list.append(record(20240910091500 + i * 100, 8.0, 1000 + i));
    for (int i = 0; i < 30; ++i)
        list.append(record(20240910093000 + i * 100, 8.5, 10 + i));

    // The price and intraday volume panes compute the auction band (the
    // program tests print a pane that starts after it).
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
    EXPECT_EQ(multi.values(0), Series({kMarker, kMarker, kMarker, 10, 11, 12, kMarker, 13}));
    Pane price(F::eFT_DLINE, &days, true);
    price.m_params = {0.0f};
    price.setShowDRFS(2);
    price.setRange(0, 9);
    EXPECT_EQ(price.values(0), Series({kMarker, kMarker, kMarker, 8.5, 8.5, 8.5, kMarker, 9.5}));
    EXPECT_EQ(price.maxReference(), 9.5);
    // A slot before the span that gets its minute moves the span's start.
    days.at(2)->setUniqueValue(20240910092900);
    multi.recordsChanged(2);
    multi.setRange(0, 9, true);
    EXPECT_EQ(multi.values(0), Series({kMarker, kMarker, 0, 10, 11, 12, kMarker, 13}));
}

TEST(PanePrice, CloseLineKeepsGapsAndStopsAtTheData)
{
    DQDDataList list;
    list.append(record(20240101000000, 10, 0));
    list.append(record(-1, 11, 0));
    list.append(record(20240103000000, 12, 0));
    Pane pane(F::eFT_CLOSE, &list);
    pane.setRange(0, 10);
    EXPECT_EQ(pane.values(0), Series({10, kMarker, 12}));
    EXPECT_EQ(std::make_pair(pane.minReference(), pane.maxReference()), std::make_pair(10.0, 12.0));

    // Any window length: the walk is bounded by the data.
    pane.setRange(1, INT_MAX);
    EXPECT_EQ(pane.values(0).size(), 3);
    EXPECT_EQ(pane.getCrossCurvePointByKlineDataIndex(INT_MAX, 0).x(), int(pane.getX(1)));
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

    // 100 values of a 241-slot day computed from 15 on: markers before and
    // for the 141 untraded slots; value k still belongs to record k, and so
    // does its colour code; absent series stay absent.
    pane.m_formulaLines.appendLine(engine);
    pane.padLines(15, 100, 241);
    const Line* padded = pane.formulaLines().lineAt(0);
    const Series expected =
        QVector<float>(15, kMarker).toList() + engine.values + QVector<float>(141, kMarker).toList();
    EXPECT_EQ(std::make_pair(padded->values, padded->values3), std::make_pair(expected, expected));
    EXPECT_EQ(padded->colors.at(15 + 42), 42);
    EXPECT_TRUE(padded->values2.isEmpty());

    // The range looks only at the shown window, across every series drawn
    // as values: an icon line counts where its icons stand, not its icon
    // numbers, and a text line only where its text stands.
    Line a, b, icon, text;
    a.values = Series({-100, 5, kMarker, 7, 1000});
    a.values2 = Series({0, 0, 9});
    b.values4 = Series({-9, -9, -9, std::nanf(""), 2e15f});
    icon.drawType = eDRAWICON;
    icon.values = Series({0, 6, 6, 6});
    icon.values2 = Series({0, 50, 50, 50});
    text.drawType = eDRAWTEXT;
    text.values = Series({0, 8});
    text.values2 = Series({0, -50});
    pane.setRange(1, 3);
    pane.m_formulaLines.clearLines();
    for (const Line* l : {&a, &b, &icon, &text})
        pane.m_formulaLines.appendLine(*l);
    pane.SetMaxMinValue(kZtNoValue, kZtNoValueMax);
    pane.resetMaxMinValue();
    EXPECT_EQ(std::make_pair(pane.minReference(), pane.maxReference()), std::make_pair(-9.0, 9.0));

    pane.rebuildForLength(4);
    EXPECT_EQ(pane.values(0), Series({5, kMarker, 7, 1000}));
    pane.rebuildForLength(7);
    EXPECT_EQ(pane.values(0), Series({kMarker, kMarker, kMarker, 5, kMarker, 7, 1000}));
    EXPECT_EQ(pane.values(3).size(), 7); // the last line too
}

TEST(PanePipeline, CrosshairPointClamping)
{
    DQDDataList list;
    for (int i = 0; i < 20; ++i)
        list.append(record(20240101000000 + i * kDay, 10 + i, 100));
    Pane pane(F::eFT_CLOSE, &list), candles(F::eFT_KLINE, &list);
    pane.setRange(5, 10);
    candles.setRange(5, 10);
    auto at = [&](const Pane& p, int k, double v) { return QPoint(int(p.getX(k)), int(p.getY(v))); };
    // The close line holds values up to the window's end (index 14); candles
    // clamp to the window and read the record's close.
    const std::tuple<Pane*, int, int, QPoint> points[] = {
        {&pane, 8, 0, at(pane, 3, 18)},        {&pane, 2, 0, at(pane, 0, 15)},
        {&pane, 40, 0, at(pane, 9, 24)},       {&pane, -1, 0, QPoint()},
        {&pane, 5, 1, QPoint()},               {&candles, 30, 1, at(candles, 9, 24)},
        {&candles, 0, 1, at(candles, 0, 15)},
    };
    for (const auto& [p, index, line, point] : points)
        EXPECT_EQ(p->getCrossCurvePointByKlineDataIndex(index, line), point) << index << " " << line;
    // A window that starts past the line's end: the two clamps would hand
    // the index back and forth.
    pane.setDataShowIndex(17);
    EXPECT_EQ(pane.getCrossCurvePointByKlineDataIndex(3, 0), QPoint(0, 0));
    EXPECT_EQ(pane.getCrossCurvePointByKlineDataIndex(19, 0), QPoint(0, 0));
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
