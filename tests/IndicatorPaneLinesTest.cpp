// The indicator pane's computed lines: price and volume lines over the
// sample quotes, and the pipeline from range to lines.

#include "TestKit.h"

#include <climits>
#include <cmath>

using namespace ZtUIDataStruct;
using namespace indicatorpane;
using Line = Formulas::formulaLine;
using F = ZtLineLib_Formula;

// ---- price and volume lines --------------------------------------------------

namespace {

double fieldAt(const DQDDataList& list, int i, unsigned id)
{
    return list.at(i)->getValue(id).toDouble();
}

} // namespace

TEST(PanePrice, VolumeAndMovingAveragesOverTheSampleDays)
{
    DQDDataList list = testkit::sampleBars();
    Pane pane(F::eFT_VOL, &list);
    pane.m_params = {5, 10, 7.5f, 0};
    pane.setRange(900, 100);

    EXPECT_EQ(testkit::lineNames(pane.formulaLines()), QStringList({"VOLUME", "MA5", "MA10", "MA7.5", "MA0"}));
    const int lengths[] = {0, 5, 10, 7};
    for (int k : {0, 3, 4, 9, 500, 999}) {
        EXPECT_EQ(pane.values(0).at(k), float(fieldAt(list, k, eFieldVolume))) << k;
        for (int line = 1; line <= 3; ++line) {
            const int n = lengths[line];
            double sum = 0;
            for (int j = 0; j < n && k - j >= 0; ++j)
                sum += fieldAt(list, k - j, eFieldVolume);
            EXPECT_EQ(pane.values(line).at(k), k + 1 < n ? kMarker : float(sum / n)) << k << " " << n;
        }
        EXPECT_EQ(pane.values(4).at(k), kMarker); // period 0
    }
}

TEST(PanePrice, VolumeAverageAfterAMissingVolume)
{
    DQDDataList list = volumeList({100, 200, 300, kZtNoValue, 500, 600, 700});
    Pane pane(F::eFT_VOL, &list);
    pane.m_params = {3};
    pane.setRange(0, 7);
    // A gap ends the walk back: the mean of the values after it.
    EXPECT_EQ(pane.values(1), Series({kMarker, kMarker, 200, kMarker, 500, 550, 600}));
}

TEST(PanePrice, IntradayLinesOverTheSampleMinutes)
{
    // The first day of the minute sample, traded up to slot 200.
    DQDDataList minutes;
    QString error;
    ASSERT_TRUE(QuoteLoader::loadMinutes(testkit::samplePath("sh600000_m1.csv"), &minutes, {}, &error));
    DQDDataList day;
    for (int i = 0; i < 241; ++i) {
        day.append(*minutes.at(i));
        if (i >= 200)
            day.at(i)->setUniqueValue(-1);
    }
    Pane price(F::eFT_DLINE, &day, true);
    price.m_params = {1.0f};
    price.setRange(0, 241);
    ASSERT_EQ(price.formulaLines().lineCount(), 2);
    // The average line comes first; both end at the last traded minute.
    EXPECT_EQ(price.values(0).size(), 200);
    EXPECT_EQ(price.values(1).size(), 200);
    EXPECT_EQ(price.values(1).at(199), float(fieldAt(day, 199, eFieldClose)));
    EXPECT_EQ(price.values(0).at(199), float(fieldAt(day, 199, eFieldAverage)));

    price.m_params = {0.0f};
    price.setRange(0, 241);
    EXPECT_EQ(price.formulaLines().lineCount(), 1);
    price.m_params.clear();
    price.setRange(0, 241);
    EXPECT_EQ(price.formulaLines().lineCount(), 0);
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
    EXPECT_EQ(pane.minReference(), 10.0);
    EXPECT_EQ(pane.maxReference(), 12.0);

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
    ASSERT_EQ(padded->values.size(), 241 + 15);
    EXPECT_EQ(padded->values.mid(14, 2), Series({kMarker, 0}));
    EXPECT_EQ(padded->values.mid(15 + 99, 2), Series({99, kMarker}));
    EXPECT_EQ(padded->values.at(15 + 42), 42.0f);
    EXPECT_EQ(padded->colors.at(15 + 42), 42);
    EXPECT_EQ(padded->values3, padded->values);
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
    EXPECT_EQ(pane.minReference(), -9.0);
    EXPECT_EQ(pane.maxReference(), 9.0);

    pane.rebuildForLength(4);
    EXPECT_EQ(pane.values(0), Series({5, kMarker, 7, 1000}));
    pane.rebuildForLength(7);
    EXPECT_EQ(pane.values(0), Series({kMarker, kMarker, kMarker, 5, kMarker, 7, 1000}));
    EXPECT_EQ(pane.values(3).size(), 7); // the last line too
}

TEST(PanePipeline, MaColoursFollowTheTheme)
{
    testkit::ThemeColours theme;
    theme.clear();
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
