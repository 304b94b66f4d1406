// The moving chip distribution pane: profiles, key figures, layers and
// colours, on series small enough to work the answer out by hand.

#include "TestKit.h"

#include <gtest/gtest.h>

using namespace DataServiceFixtures;
using namespace ZtUIDataStruct;
using F = ZtLineLib_Formula;

namespace {

constexpr qint64 kDay1 = 20240102000000;
constexpr double kFloat = 1e6;

using Rows = QList<QPair<double, double>>;

double volumeWithin(const Rows& rows, double lo, double hi)
{
    double sum = 0;
    for (const auto& r : rows) {
        if (r.first >= lo - 1e-9 && r.first <= hi + 1e-9)
            sum += r.second;
    }
    return sum;
}

class ServicePaneChips : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PBDataChange::clearInstruments();
        // Day 1 turns the whole float over inside 10 … 11; day 2 half of it
        // inside 20 … 21.
        m_bars.append(bar(kDay1, 10.0, 11.0, 10.5, kFloat));
        m_bars.append(bar(20240103000000, 20.0, 21.0, 20.5, kFloat / 2));
        PBDataChange::registerInstrument("Y", "Chips", m_bars, DQDDataList(),
                                         {{20240101000000, kFloat}});
    }
    void TearDown() override { PBDataChange::clearInstruments(); }

    void compute(F& pane, qint64 key, ZtE_YDCMJS_OUT_TYPE out, const QVector<int>& periods)
    {
        pane.setRect(0, 0, 200, 220);
        pane.setData(&m_bars);
        pane.m_ydcmCode = QStringLiteral("Y");
        pane.m_ydcmKey = key;
        pane.m_ydcmCount = 1;
        pane.m_ydcmOutType = out;
        pane.m_ydcmCmfbType = eZtYdcmUniform;
        pane.m_ydcmPeriods = periods;
        // The price scale of the pane beside it; chips add no values.
        pane.SetMaxMinValue(22.0, 9.0);
        pane.setRange(0, m_bars.count());
    }

    DQDDataList m_bars;
    testkit::ThemeColours m_theme; // the tests change chip colours
};

} // namespace

TEST_F(ServicePaneChips, TurnoverPlacesAndDecaysTheChipsAndTheFiguresAreTheServices)
{
    F pane(F::eFT_YDCM);
    compute(pane, kDay1, eZtYdcmOutAll, {});
    // Full turnover: every chip lies in the day's range.
    EXPECT_NEAR(volumeWithin(pane.formulaLines().lineAt(0)->chipRows, 10.0, 11.0), kFloat, 1e-3);
    EXPECT_EQ(pane.ydcmInfo().value("date").toLongLong(), kDay1);

    // Half turnover halves the old chips and lays the other half anew.
    compute(pane, 0, eZtYdcmOutAll, {});
    ASSERT_EQ(pane.formulaLines().lineCount(), 1);
    const Formulas::formulaLine* all = pane.formulaLines().lineAt(0);
    EXPECT_EQ(std::make_tuple(all->name, all->drawType, all->chipType),
              std::make_tuple(QStringLiteral("ydcm"), int(eYDCM), int(eZtYdcmUniform)));
    EXPECT_NEAR(volumeWithin(all->chipRows, 10.0, 11.0), kFloat / 2, 1e-3);
    EXPECT_NEAR(volumeWithin(all->chipRows, 20.0, 21.0), kFloat / 2, 1e-3);
    EXPECT_NEAR(volumeWithin(all->chipRows, 11.001, 19.999), 0.0, 1e-9);
    EXPECT_NEAR(all->chipMax, kFloat / 2 / 101, 1e-6); // 101 rows a range, an even share each
    EXPECT_TRUE(pane.ydcmLayers().isEmpty());
    // No per-bar values: the range stays as the host set it.
    EXPECT_EQ(std::make_pair(pane.maxReference(), pane.minReference()), std::make_pair(22.0, 9.0));

    const auto d = ZtZB_Ydcmjs::Ydcmjs(m_bars, readerOf("Y"), 0, eZtYdcmOutAll, 1, eZtYdcmUniform, 1.0, {})
                       .rdydcmdata(0);
    const std::pair<const char*, double> figures[] = {
        {"date", double(d.date())}, {"hlbl", d.hlbl()},     {"pjcb", d.pjcb()},
        {"p90min", d.p90min()},     {"p90max", d.p90max()}, {"p70min", d.p70min()},
        {"p70max", d.p70max()},     {"p90jzd", d.p90jzd()}, {"p70jzd", d.p70jzd()}};
    EXPECT_EQ(pane.ydcmInfo().size(), 9);
    for (const auto& f : figures)
        EXPECT_DOUBLE_EQ(pane.ydcmInfo().value(f.first).toDouble(), f.second) << f.first;
}

TEST_F(ServicePaneChips, LayersTakeTheDefaultChipColours)
{
    PubCacheCustom::mDefultColor["KLineYDCMQ"] = QStringList{"#112233", "#445566"};
    PubCacheCustom::mDefultColor["KLineYDCMN"] = QStringList{"#778899"};
    // The user's table has no say in chip colours.
    PubCacheCustom::mCustomColor["KLineYDCMQ"] = QStringList{"#ffffff", "#ffffff", "#ffffff"};

    F pane(F::eFT_YDCM);
    compute(pane, 0, eZtYdcmOutYounger, {1, 2, 5});
    ASSERT_EQ(testkit::lineNames(pane.formulaLines()), QStringList({"ydcm_1", "ydcm_2", "ydcm_5"}));
    EXPECT_EQ(pane.formulaLines().lineAt(0)->pen.color(), QColor("#112233"));
    EXPECT_EQ(pane.formulaLines().lineAt(1)->pen.color(), QColor("#445566"));
    EXPECT_EQ(pane.formulaLines().lineAt(2)->pen.color(),
              getThemePenAt(QStringLiteral("FormulasList"), 2).color());
    EXPECT_NEAR(volumeWithin(pane.formulaLines().lineAt(0)->chipRows, 20.0, 21.0), kFloat / 2, 1e-3);

    // The chips older than the last bar, in the other list's colour.
    compute(pane, 0, eZtYdcmOutOlder, {1});
    ASSERT_EQ(pane.formulaLines().lineCount(), 1);
    EXPECT_EQ(pane.formulaLines().lineAt(0)->pen.color(), QColor("#778899"));
    EXPECT_NEAR(volumeWithin(pane.formulaLines().lineAt(0)->chipRows, 10.0, 11.0), kFloat / 2,
                1e-3);
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
    first->set_hlbl(0.1);
    addLayer(first, 0, 1.0, {{1000000, 1.0}});
    addLayer(first, 3, 0.5, {{1000000, 1.0}});
    ClientData::YdcmData* second = msg.add_rdydcmdata();
    second->set_date(2);
    second->set_hlbl(0.2);
    second->set_p70jzd(0.07);
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
    f.setup(&m_bars, false, 0, 0, 2, 2);
    f.fillYdcm(msg, eZtYdcmOutYounger, eZtYdcmTriangular);
    EXPECT_EQ(f.ydcmInfo().value("date").toLongLong(), 2);
    EXPECT_DOUBLE_EQ(f.ydcmInfo().value("hlbl").toDouble(), 0.2);
    EXPECT_DOUBLE_EQ(f.ydcmInfo().value("p70jzd").toDouble(), 0.07);
    const QList<QPair<int, double>> layers{{7, 0.25}, {9, 0.5}, {4, 0.75}, {5, 0.0}};
    EXPECT_EQ(f.ydcmLayers(), layers);
    ASSERT_EQ(f.lineCount(), 4);
    EXPECT_EQ(f.lineAt(1)->name, QStringLiteral("ydcm_9"));
    EXPECT_EQ(f.lineAt(1)->chipRows, (Rows{{10.0, 8.0}, {11.0, 2.0}}));
    EXPECT_DOUBLE_EQ(f.lineAt(1)->chipMax, 8.0);
    // The later of two rows at one price wins, and so does its scale.
    EXPECT_EQ(f.lineAt(2)->chipRows, (Rows{{10.0, 1.0}}));
    EXPECT_DOUBLE_EQ(f.lineAt(2)->chipMax, 1.0);
    EXPECT_TRUE(f.lineAt(3)->chipRows.isEmpty());
    EXPECT_EQ(f.lineAt(3)->chipMax, kNoValue);
    EXPECT_EQ(f.lineAt(3)->chipType, int(eZtYdcmTriangular));

    // Only all chips: one line with the rows as given, duplicates included.
    ClientData::ClientDataMSG only;
    addLayer(only.add_rdydcmdata(), 0, 1.0, {{1200000, 5.0}, {1000000, 3.0}, {1200000, 4.0}});
    f.setup(&m_bars, false, 0, 0, 2, 2);
    f.fillYdcm(only, eZtYdcmOutAll, eZtYdcmUniform);
    ASSERT_EQ(f.lineCount(), 1);
    EXPECT_EQ(f.lineAt(0)->name, QStringLiteral("ydcm"));
    EXPECT_EQ(f.lineAt(0)->chipRows, (Rows{{12.0, 5.0}, {10.0, 3.0}, {12.0, 4.0}}));
    EXPECT_DOUBLE_EQ(f.lineAt(0)->chipMax, 5.0);
    EXPECT_TRUE(f.ydcmLayers().isEmpty());

    // Without any layer of all chips: nothing at all.
    ClientData::ClientDataMSG none;
    addLayer(none.add_rdydcmdata(), 3, 1.0, {{1000000, 1.0}});
    f.setup(&m_bars, false, 0, 0, 2, 2);
    f.fillYdcm(none, eZtYdcmOutYounger, eZtYdcmUniform);
    EXPECT_EQ(f.lineCount(), 0);
    EXPECT_TRUE(f.ydcmInfo().isEmpty());
    EXPECT_TRUE(f.ydcmLayers().isEmpty());
}

TEST_F(ServicePaneChips, ProfilesPaint)
{
    using panetest::Pane;
    for (ZtE_YDCMJS_CMFB_TYPE shape : {eZtYdcmTriangular, eZtYdcmUniform}) {
        Pane pane(F::eFT_YDCM);
        compute(pane, 0, eZtYdcmOutYounger, {1});
        pane.m_ydcmCmfbType = shape;
        pane.setQnowData(20.5);
        pane.setRange(0, m_bars.count());
        ASSERT_EQ(pane.formulaLines().lineCount(), 1);
        const QImage img = testkit::painted(pane, 200, 220);
        // The young chips lie between 20 and 21 on the 9 … 22 scale: rows
        // near the top quarter of the pane, none near its bottom.
        const int top = testkit::countInk(img, QRect(0, 0, 200, 220 / 3));
        const int bottom = testkit::countInk(img, img.rect()) - top;
        EXPECT_GT(top, 50) << shape;
        EXPECT_LT(bottom, top / 4) << shape;
    }
}
