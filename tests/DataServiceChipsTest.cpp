// The moving chip distribution: the service's profiles, layers and key
// figures on bars small enough to work them out by hand, and the pane that
// shows them (its chip lines are painted by the pane render tests).

#include "TestKit.h"
#include "ZtChipDistribution.h"

#include <cmath>
#include <numeric>

using namespace DataServiceFixtures;
using namespace ZtUIDataStruct;
using F = ZtLineLib_Formula;

namespace {

constexpr double kFloat = 1e6;
constexpr qint64 kDay1 = 20240102000000;

using Rows = QList<QPair<double, double>>;

// Rows of a layer as (price in yuan, volume) pairs.
Rows rowsOf(const ClientData::YdcmSjfb& layer)
{
    Rows rows;
    for (const auto& item : layer.rdydcmjgfb())
        rows.append({DataTrans::getValueFromLL(item.price(), 5), item.volume()});
    return rows;
}

class DataServiceChips : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PBDataChange::clearInstruments();
        PBDataChange::registerInstrument("C", "Chips", DQDDataList(), DQDDataList(),
                                         {{20200101, kFloat}});
        m_reader = readerOf("C");
    }
    void TearDown() override { PBDataChange::clearInstruments(); }

    ClientData::ClientDataMSG run(ZtE_YDCMJS_OUT_TYPE out, ZtE_YDCMJS_CMFB_TYPE shape,
                                  QVector<int> periods = {}, qint64 key = 0, int count = 1,
                                  double ratio = 1.0)
    {
        return ZtZB_Ydcmjs::Ydcmjs(m_list, m_reader, key, out, count, shape, ratio, periods);
    }

    DQDDataList m_list;
    DQDUnionReader m_reader;
};

// The pane over two bars: day 1 turns the whole float over inside 10 … 11,
// day 2 half of it inside 20 … 21.
class ServicePaneChips : public DataServiceChips
{
protected:
    void SetUp() override
    {
        DataServiceChips::SetUp();
        m_list.append(bar(kDay1, 10.0, 11.0, 10.5, kFloat));
        m_list.append(bar(20240103000000, 20.0, 21.0, 20.5, kFloat / 2));
    }

    void compute(F& pane, qint64 key, ZtE_YDCMJS_OUT_TYPE out, const QVector<int>& periods)
    {
        pane.setRect(0, 0, 200, 220);
        pane.setData(&m_list);
        pane.m_ydcmCode = QStringLiteral("C");
        pane.m_ydcmKey = key;
        pane.m_ydcmCount = 1;
        pane.m_ydcmOutType = out;
        pane.m_ydcmCmfbType = eZtYdcmUniform;
        pane.m_ydcmPeriods = periods;
        // The price scale of the pane beside it; chips add no values.
        pane.SetMaxMinValue(22.0, 9.0);
        pane.setRange(0, m_list.count());
    }

    testkit::ThemeColours m_theme; // the tests change chip colours
};

// The rows of layer k of the last answer, as the pane holds them.
Rows layerRows(const ClientData::ClientDataMSG& msg, int k)
{
    return rowsOf(msg.rdydcmdata(msg.rdydcmdata_size() - 1).rdydcmsjfb(k));
}

} // namespace

TEST_F(DataServiceChips, FullTurnoverReplacesEveryChipAndHalfHalvesThem)
{
    m_list.append(bar(20200102000000, 20.00, 20.09, 20.05, 300000));  // 30 %
    m_list.append(bar(20200103000000, 10.00, 10.09, 10.04, kFloat));  // 100 %
    const auto msg = run(eZtYdcmOutAll, eZtYdcmUniform);
    ASSERT_EQ(msg.rdydcmdata_size(), 1);
    const auto& d = msg.rdydcmdata(0);
    EXPECT_EQ(d.date(), 20200103000000);
    ASSERT_EQ(d.rdydcmsjfb_size(), 1);
    const auto rows = rowsOf(d.rdydcmsjfb(0));
    ASSERT_EQ(rows.size(), 10);
    for (int i = 0; i < rows.size(); ++i) {
        EXPECT_NEAR(rows[i].first, 10.00 + 0.01 * i, 1e-9);
        EXPECT_NEAR(rows[i].second, kFloat / 10, 1e-6);
    }
    // Key figures of ten equal rows 10.00 … 10.09 with the close at 10.04.
    const double figures[] = {d.hlbl(), d.pjcb(), d.p90min(), d.p90max(), d.p70min(), d.p70max(), d.p90jzd(), d.p70jzd()};
    const double expected[] = {0.5, 10.045, 10.00, 10.09, 10.01, 10.08, 0.09 / 20.09, 0.07 / 20.09};
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(figures[i], expected[i], 1e-9) << i;

    // Half of the float traded halves the old chips; layers split them by age.
    m_list.DataClear();
    m_list.append(bar(20200102000000, 10.00, 10.09, 10.05, kFloat));      // 100 %
    m_list.append(bar(20200103000000, 12.00, 12.04, 12.02, kFloat / 2));  // 50 %
    const auto young = run(eZtYdcmOutYounger, eZtYdcmUniform, {1, 0, -3, 1, 5});
    ASSERT_EQ(young.rdydcmdata_size(), 1);
    const auto& y = young.rdydcmdata(0);
    // Layers: all chips, then periods 1 and 5; 0, −3 and the repeated 1 dropped.
    ASSERT_EQ(y.rdydcmsjfb_size(), 3);
    EXPECT_EQ(std::make_pair(y.rdydcmsjfb(1).id(), y.rdydcmsjfb(2).id()), std::make_pair(1, 5));

    const auto all = rowsOf(y.rdydcmsjfb(0));
    ASSERT_EQ(all.size(), 15);
    EXPECT_NEAR(all.first().second, kFloat / 10 / 2, 1e-6);  // old chips halved
    EXPECT_NEAR(all.last().second, kFloat / 2 / 5, 1e-6);     // new chips
    // Close 12.02: the two rows above it (a fifth of the new half) are at a loss.
    EXPECT_NEAR(y.hlbl(), 0.5 + 0.5 * 3 / 5, 1e-12);
    EXPECT_NEAR(y.pjcb(), 0.5 * 10.045 + 0.5 * 12.02, 1e-9);

    const auto lastBar = rowsOf(y.rdydcmsjfb(1));
    ASSERT_EQ(lastBar.size(), 5);
    EXPECT_NEAR(lastBar.first().first, 12.00, 1e-9);
    EXPECT_NEAR(y.rdydcmsjfb(1).share(), 0.5, 1e-12);
    EXPECT_NEAR(y.rdydcmsjfb(2).share(), 1.0, 1e-12);

    const auto old = run(eZtYdcmOutOlder, eZtYdcmUniform, {1});
    const auto older = rowsOf(old.rdydcmdata(0).rdydcmsjfb(1));
    ASSERT_EQ(older.size(), 10);
    EXPECT_NEAR(older.last().second, kFloat / 20, 1e-6);
    EXPECT_NEAR(old.rdydcmdata(0).rdydcmsjfb(1).share(), 0.5, 1e-12);

    // The ratio scales turnover: a quarter of the float traded, counted twice.
    m_list.DataClear();
    m_list.append(bar(20200102000000, 10.00, 10.09, 10.05, kFloat / 2));
    m_list.append(bar(20200103000000, 12.00, 12.04, 12.02, kFloat / 4));
    const auto scaled = rowsOf(run(eZtYdcmOutAll, eZtYdcmUniform, {}, 0, 1, 2.0)
                                   .rdydcmdata(0).rdydcmsjfb(0));
    ASSERT_EQ(scaled.size(), 15);
    EXPECT_NEAR(scaled.first().second, kFloat / 20, 1e-6);
}

TEST_F(DataServiceChips, TriangularPeaksAtTheAveragePrice)
{
    // Eleven rows 10.00 … 10.10, average 10.05 from (high + low + close) ÷ 3.
    m_list.append(bar(20200102000000, 10.00, 10.10, 10.05, kFloat));
    const auto tri = rowsOf(run(eZtYdcmOutAll, eZtYdcmTriangular).rdydcmdata(0).rdydcmsjfb(0));
    ASSERT_EQ(tri.size(), 11);
    // Weights 1 − |k − 5| / 6 sum to 6: peak 1/6, ends 1/36 of the chips.
    for (int k = 0; k < 11; ++k)
        EXPECT_NEAR(tri[k].second, kFloat * (1 - std::abs(k - 5) / 6.0) / 6, 1e-6) << k;

    // An average off centre moves the peak: 10.02 from the average field,
    // as an amount that does not fit the bar is not believed.
    m_list.DataClear();
    DQDUnionReader skewed = bar(20200102000000, 10.00, 10.10, 10.10, kFloat, kFloat * 20);
    skewed.setValue(eFieldAverage, 10.02);
    m_list.append(skewed);
    const auto left = rowsOf(run(eZtYdcmOutAll, eZtYdcmTriangular).rdydcmdata(0).rdydcmsjfb(0));
    ASSERT_EQ(left.size(), 11);
    EXPECT_GT(left[2].second, left[1].second);
    EXPECT_GT(left[2].second, left[3].second);

    // A close outside its bar is not believed: the average stands in.
    m_list.DataClear();
    m_list.append(bar(20200102000000, 10.00, 10.10, 12.00, kFloat));
    const double profit = run(eZtYdcmOutAll, eZtYdcmUniform).rdydcmdata(0).hlbl();
    EXPECT_TRUE(profit > 0.3 && profit < 0.7) << profit;

    // All traded at the high: the peak sits on the top row.
    m_list.DataClear();
    m_list.append(bar(20200102000000, 10.00, 10.10, 10.10, kFloat, kFloat * 10.10));
    const auto top = rowsOf(run(eZtYdcmOutAll, eZtYdcmTriangular).rdydcmdata(0).rdydcmsjfb(0));
    ASSERT_EQ(top.size(), 11);
    EXPECT_GT(top[10].second, top[9].second);
}

TEST_F(DataServiceChips, KeyAndCountPickTheBarsEvaluated)
{
    m_list.append(bar(20200102000000, 10.00, 10.09, 10.05, kFloat));
    m_list.append(emptySlot());
    m_list.append(bar(20200103000000, 10.50, 10.59, 10.55, 0));  // no trade: skipped
    m_list.append(bar(20200106000000, 11.00, 11.09, 11.05, kFloat / 2));
    m_list.append(bar(20200107000000, 12.00, 12.09, 12.05, kFloat / 2));

    const auto at = run(eZtYdcmOutAll, eZtYdcmUniform, {}, 20200106000000);
    ASSERT_EQ(at.rdydcmdata_size(), 1);
    EXPECT_EQ(at.rdydcmdata(0).date(), 20200106000000);
    EXPECT_EQ(rowsOf(at.rdydcmdata(0).rdydcmsjfb(0)).size(), 20);
    // A key between bars evaluates the bar before it.
    EXPECT_EQ(run(eZtYdcmOutAll, eZtYdcmUniform, {}, 20200105000000).rdydcmdata(0).date(), 20200102000000);
    EXPECT_EQ(run(eZtYdcmOutAll, eZtYdcmUniform, {}, 20191231000000).rdydcmdata_size(), 0);

    const auto three = run(eZtYdcmOutAll, eZtYdcmUniform, {}, 0, 10);
    ASSERT_EQ(three.rdydcmdata_size(), 3);  // only three bars traded
    EXPECT_EQ(three.rdydcmdata(0).date(), 20200102000000);
    EXPECT_EQ(three.rdydcmdata(2).date(), 20200107000000);
    EXPECT_EQ(run(eZtYdcmOutAll, eZtYdcmUniform, {}, 0, -4).rdydcmdata_size(), 1);

    // Periods count traded bars: the layer of 2 holds the last two.
    const auto layered = run(eZtYdcmOutYounger, eZtYdcmUniform, {2});
    EXPECT_NEAR(layered.rdydcmdata(0).rdydcmsjfb(1).share(), 0.75, 1e-12);
    // The plain output ignores the periods.
    EXPECT_EQ(run(eZtYdcmOutAll, eZtYdcmUniform, {2}).rdydcmdata(0).rdydcmsjfb_size(), 1);
}

TEST_F(DataServiceChips, GridCoarsensForWideRangesAndBadInputGivesNothing)
{
    m_list.append(bar(20200102000000, 10.00, 20.00, 15.00, kFloat / 2));
    m_list.append(bar(20200103000000, 90.00, 100.00, 95.00, kFloat / 2));
    const auto rows = rowsOf(run(eZtYdcmOutAll, eZtYdcmUniform).rdydcmdata(0).rdydcmsjfb(0));
    // 10 … 100 at 0.01 would need 9001 rows: the step becomes 0.02.
    ASSERT_EQ(rows.size(), 501 + 501);
    EXPECT_NEAR(rows[1].first - rows[0].first, 0.02, 1e-9);

    EXPECT_EQ(run(eZtYdcmOutAll, eZtYdcmUniform, {}, 0, 1, 0.0).rdydcmdata_size(), 0);
    EXPECT_EQ(run(eZtYdcmOutAll, eZtYdcmUniform, {}, 0, 1, std::nan("")).rdydcmdata_size(), 0);
    // A corrupt price neither widens the grid nor lays chips.
    m_list.append(bar(20200106000000, 10.00, 1e12, 15.00, kFloat / 2));
    const auto still = rowsOf(run(eZtYdcmOutAll, eZtYdcmUniform).rdydcmdata(0).rdydcmsjfb(0));
    EXPECT_EQ(still.size(), rows.size());
    // So does one handed to the distribution directly (a high of 1e25 once made 20 million rows).
    const ZtChipDistribution::Bar good{kDay1, 10, 11, 10.5, 10.5, 1, kFloat};
    ZtChipDistribution::Bar huge = good, spoilt = good;
    huge.high = 1e25;
    spoilt.average = std::nan("");
    const ZtChipDistribution clean({good}, eZtYdcmTriangular), dirty({good, huge, spoilt}, eZtYdcmTriangular);
    EXPECT_EQ(dirty.rowCount(), clean.rowCount());
    EXPECT_EQ(dirty.compute(1, eZtYdcmOutAll, {}).SerializeAsString(), clean.compute(1, eZtYdcmOutAll, {}).SerializeAsString());
    // Chips decayed below a billionth of the float are no longer a row:
    // 0.05^7 of the first bar's chips is left after seven turnovers of 95 %.
    m_list.DataClear();
    m_list.append(bar(20200102000000, 10.00, 10.00, 10.00, kFloat));
    for (int d = 3; d < 10; ++d)
        m_list.append(bar(20200100000000 + d * 1000000LL, 20.00, 20.00, 20.00, 0.95 * kFloat));
    EXPECT_EQ(rowsOf(run(eZtYdcmOutAll, eZtYdcmUniform).rdydcmdata(0).rdydcmsjfb(0)).size(), 1);

    // Requests are bounded: 300 bars and a count of 1000 give 250 answers.
    m_list.DataClear();
    QDate day(2020, 1, 1);
    for (int i = 0; i < 300; ++i, day = day.addDays(1))
        m_list.append(bar(testkit::dayKey(day), 10.0, 10.2, 10.1, kFloat / 10));
    EXPECT_EQ(run(eZtYdcmOutAll, eZtYdcmUniform, {}, 0, 1000).rdydcmdata_size(), 250);
    QVector<int> manyPeriods(40);
    std::iota(manyPeriods.begin(), manyPeriods.end(), 1);
    EXPECT_EQ(run(eZtYdcmOutYounger, eZtYdcmUniform, manyPeriods).rdydcmdata(0).rdydcmsjfb_size(), 1 + 16);

    m_list.DataClear();
    EXPECT_EQ(run(eZtYdcmOutAll, eZtYdcmUniform).rdydcmdata_size(), 0);
    m_list.append(emptySlot());
    m_list.append(bar(20200102000000, -1, 0, 0, 100));
    EXPECT_EQ(run(eZtYdcmOutYounger, eZtYdcmTriangular, {5}).rdydcmdata_size(), 0);
}

TEST_F(DataServiceChips, TurnoverIsMeasuredAgainstTheFloatInForceElseMeanVolume)
{
    // The float doubles on the second day, so both days turn half of it over;
    // the first day, before any dated float, takes the first one.
    PBDataChange::registerInstrument("C", "Chips", DQDDataList(), DQDDataList(),
                                     {{20200102, kFloat}, {20200103, 2 * kFloat}});
    m_reader = readerOf("C");
    m_list.append(bar(20200101000000, 10.00, 10.00, 10.00, kFloat / 2));
    m_list.append(bar(20200103000000, 11.00, 11.00, 11.00, kFloat));
    const auto halves = rowsOf(run(eZtYdcmOutAll, eZtYdcmUniform).rdydcmdata(0).rdydcmsjfb(0));
    ASSERT_EQ(halves.size(), 2);
    EXPECT_NEAR(halves[0].second, kFloat / 2, 1e-3); // a quarter of the float in force
    EXPECT_NEAR(halves[1].second, kFloat, 1e-3);

    m_reader = readerOf("not registered");
    m_list.DataClear();
    m_list.append(bar(20200102000000, 10.00, 10.00, 10.00, 1000));
    m_list.append(bar(20200103000000, 11.00, 11.00, 11.00, 3000));
    // Float = 100 × mean volume = 200000: turnovers 0.5 % and 1.5 %.
    const auto msg = run(eZtYdcmOutYounger, eZtYdcmUniform, {1});
    ASSERT_EQ(msg.rdydcmdata_size(), 1);
    const auto& d = msg.rdydcmdata(0);
    const double older = 0.005 * (1 - 0.015);
    const double total = older + 0.015;
    EXPECT_NEAR(d.rdydcmsjfb(1).share(), 0.015 / total, 1e-12);
    const auto rows = rowsOf(d.rdydcmsjfb(0));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_NEAR(rows[0].second, older * 200000, 1e-6);
    EXPECT_NEAR(d.hlbl(), 1.0, 1e-12);
}

TEST_F(ServicePaneChips, LinesFiguresAndLayerColours)
{
    F pane(F::eFT_YDCM);
    compute(pane, kDay1, eZtYdcmOutAll, {});
    EXPECT_EQ(pane.ydcmInfo().value("date").toLongLong(), kDay1);

    compute(pane, 0, eZtYdcmOutAll, {});
    ASSERT_EQ(pane.formulaLines().lineCount(), 1);
    const Formulas::formulaLine* all = pane.formulaLines().lineAt(0);
    EXPECT_EQ(std::make_tuple(all->name, all->drawType, all->chipType),
              std::make_tuple(QStringLiteral("ydcm"), int(eYDCM), int(eZtYdcmUniform)));
    EXPECT_EQ(all->chipRows, layerRows(run(eZtYdcmOutAll, eZtYdcmUniform), 0));
    EXPECT_NEAR(all->chipMax, kFloat / 2 / 101, 1e-6); // 101 rows a range, an even share each
    // No per-bar values: the range stays as the host set it.
    EXPECT_EQ(std::make_pair(pane.maxReference(), pane.minReference()), std::make_pair(22.0, 9.0));

    const auto d = run(eZtYdcmOutAll, eZtYdcmUniform).rdydcmdata(0);
    const std::pair<const char*, double> figures[] = {
        {"date", double(d.date())}, {"hlbl", d.hlbl()},     {"pjcb", d.pjcb()},
        {"p90min", d.p90min()},     {"p90max", d.p90max()}, {"p70min", d.p70min()},
        {"p70max", d.p70max()},     {"p90jzd", d.p90jzd()}, {"p70jzd", d.p70jzd()}};
    for (const auto& f : figures)
        EXPECT_DOUBLE_EQ(pane.ydcmInfo().value(f.first).toDouble(), f.second) << f.first;

    // Layers take the default chip colours.
    PubCacheCustom::mDefultColor["KLineYDCMQ"] = QStringList{"#112233", "#445566"};
    PubCacheCustom::mDefultColor["KLineYDCMN"] = QStringList{"#778899"};
    // The user's table has no say in chip colours.
    PubCacheCustom::mCustomColor["KLineYDCMQ"] = QStringList{"#ffffff", "#ffffff", "#ffffff"};
    compute(pane, 0, eZtYdcmOutYounger, {1, 2, 5});
    ASSERT_EQ(testkit::lineNames(pane.formulaLines()), QStringList({"ydcm_1", "ydcm_2", "ydcm_5"}));
    EXPECT_EQ(pane.formulaLines().lineAt(0)->pen.color(), QColor("#112233"));
    EXPECT_EQ(pane.formulaLines().lineAt(1)->pen.color(), QColor("#445566"));
    EXPECT_EQ(pane.formulaLines().lineAt(2)->pen.color(),
              getThemePenAt(QStringLiteral("FormulasList"), 2).color());
    EXPECT_EQ(pane.formulaLines().lineAt(0)->chipRows,
              layerRows(run(eZtYdcmOutYounger, eZtYdcmUniform, {1, 2, 5}), 1));

    // The chips older than the last bar, in the other list's colour.
    compute(pane, 0, eZtYdcmOutOlder, {1});
    ASSERT_EQ(pane.formulaLines().lineCount(), 1);
    EXPECT_EQ(pane.formulaLines().lineAt(0)->pen.color(), QColor("#778899"));
    EXPECT_EQ(pane.formulaLines().lineAt(0)->chipRows,
              layerRows(run(eZtYdcmOutOlder, eZtYdcmUniform, {1}), 1));
}

TEST_F(ServicePaneChips, RowsAreOrderedAndMergedForLayersOnly)
{
    ClientData::ClientDataMSG msg;
    const auto addLayer = [](ClientData::YdcmData* d, int id, double share,
                             std::initializer_list<std::pair<qint64, double>> rows) {
        ClientData::YdcmSjfb* layer = d->add_rdydcmsjfb();
        layer->set_id(id);
        layer->set_share(share);
        for (const auto& r : rows) {
            ClientData::YdcmJgfb* row = layer->add_rdydcmjgfb();
            row->set_price(r.first);
            row->set_volume(r.second);
        }
    };
    ClientData::YdcmData* first = msg.add_rdydcmdata();
    first->set_date(1);
    addLayer(first, 0, 1.0, {{1000000, 1.0}});
    addLayer(first, 3, 0.5, {{1000000, 1.0}});
    ClientData::YdcmData* second = msg.add_rdydcmdata();
    second->set_date(2);
    addLayer(second, 7, 0.25, {{1100000, 1.0}});
    addLayer(second, 0, 1.0, {{1200000, 5.0}, {1000000, 3.0}, {1200000, 4.0}});
    addLayer(second, 9, 0.5, {{1100000, 1.0}, {1000000, 8.0}, {1100000, 2.0}});
    addLayer(second, 4, 0.75, {{1000000, 9.0}, {1000000, 1.0}});
    addLayer(second, 5, 0.0, {});
    // The last record has no layer of all chips, so it is not the one shown.
    ClientData::YdcmData* third = msg.add_rdydcmdata();
    third->set_date(3);
    addLayer(third, 3, 1.0, {{1000000, 1.0}});

    Formulas f;
    f.setup(&m_list, false, 0, 0, 2, 2);
    f.fillYdcm(msg, eZtYdcmOutYounger, eZtYdcmTriangular);
    EXPECT_EQ(f.ydcmInfo().value("date").toLongLong(), 2);
    const QList<QPair<int, double>> layers{{7, 0.25}, {9, 0.5}, {4, 0.75}, {5, 0.0}};
    EXPECT_EQ(f.ydcmLayers(), layers);
    ASSERT_EQ(testkit::lineNames(f), QStringList({"ydcm_7", "ydcm_9", "ydcm_4", "ydcm_5"}));
    // The later of two rows at one price wins (line 2), and so does its scale.
    const std::tuple<Rows, double> chips[] = {{{{10.0, 8.0}, {11.0, 2.0}}, 8.0}, {{{10.0, 1.0}}, 1.0}, {Rows(), kZtNoValue}};
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(std::make_tuple(f.lineAt(i)->chipRows, f.lineAt(i)->chipMax, f.lineAt(i)->chipType),
                  std::tuple_cat(chips[i - 1], std::make_tuple(int(eZtYdcmTriangular)))) << i;

    // Without any layer of all chips: nothing at all.
    ClientData::ClientDataMSG none;
    addLayer(none.add_rdydcmdata(), 3, 1.0, {{1000000, 1.0}});
    f.setup(&m_list, false, 0, 0, 2, 2);
    f.fillYdcm(none, eZtYdcmOutYounger, eZtYdcmUniform);
    EXPECT_EQ(f.lineCount(), 0);
    EXPECT_TRUE(f.ydcmInfo().isEmpty());
    EXPECT_TRUE(f.ydcmLayers().isEmpty());
}
