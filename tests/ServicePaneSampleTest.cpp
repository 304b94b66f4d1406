// The data service and its panes over the sample bars of 600000 with its
// float shares and the sample chip-lock and margin feeds; each pane also
// paints.

#include "TestKit.h"

using namespace DataServiceFixtures;
using namespace ZtUIDataStruct;
using F = ZtLineLib_Formula;

namespace {

class ServicePaneSample : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PBDataChange::clearInstruments();
        m_daily = testkit::sampleBars();
        QString error;
        QMap<qint64, double> floats;
        ASSERT_TRUE(QuoteLoader::loadFloatShares(samplePath("sh600000_capital.csv"), &floats, &error))
            << qPrintable(error);
        PBDataChange::registerInstrument("600000", "Sample", m_daily, DQDDataList(), floats);
        ASSERT_TRUE(PBDataChange::attachChipLockFeed("600000", samplePath("sh600000_chiplock.csv"), &error)
                    && PBDataChange::attachMarginFeed("600000", samplePath("sh600000_margin.csv"), &error))
            << qPrintable(error);
    }
    void TearDown() override { PBDataChange::clearInstruments(); }

    // A K-line pane over the last 120 bars.
    void compute(F& pane)
    {
        pane.setRect(0, 0, 600, 150);
        pane.setData(&m_daily);
        pane.m_codeList = QStringList{"600000"};
        pane.SetMaxMinValue(kZtNoValue, kZtNoValueMax);
        pane.setRange(m_daily.count() - 120, 120);
    }

    static int paintedPixels(F& pane)
    {
        const QImage img = testkit::painted(pane, 600, 150);
        return testkit::countInk(img, img.rect());
    }

    DQDDataList m_daily;
};

} // namespace

TEST_F(ServicePaneSample, FeedPanesEndWithTheLastBarAndPaint)
{
    ASSERT_EQ(m_daily.count(), 1000);
    const DQDUnionReader reader = readerOf("600000");
    const double lastClose = m_daily.at(999)->getValue(eFieldClose).toDouble();

    F lock(F::eFT_CMSD);
    compute(lock);
    ASSERT_EQ(lock.formulaLines().lineCount(), 6);
    const Formulas::formulaLine* spj = lock.formulaLines().lineAt(3);
    ASSERT_EQ(spj->values.size(), 1000);
    EXPECT_EQ(spj->values[749], kMarker);
    EXPECT_EQ(spj->values[999], float(lastClose));
    EXPECT_GT(paintedPixels(lock), 0);

    F margin(F::eFT_RZRQ);
    compute(margin);
    ASSERT_EQ(margin.formulaLines().lineCount(), 3);
    const auto recs = ZtZB_Rzrq::getKlineRZRQ(reader, 0).repdataf10dstxrzrqoutput(0);
    ASSERT_EQ(recs.data_size(), 250);
    const auto& total = margin.formulaLines().lineAt(2)->values;
    EXPECT_EQ(total[749], kMarker);
    EXPECT_EQ(total[750], float(recs.data(0).rzrqye()));
    EXPECT_EQ(total[999], float(recs.data(249).rzrqye()));
    EXPECT_GT(paintedPixels(margin), 0);
}

TEST_F(ServicePaneSample, ChipFiguresOfRealBarsAreConsistent)
{
    const DQDUnionReader reader = readerOf("600000");
    const auto msg = ZtZB_Ydcmjs::Ydcmjs(m_daily, reader, 0, eZtYdcmOutYounger, 10,
                                         eZtYdcmTriangular, 1.0, {5, 20, 60});
    ASSERT_EQ(msg.rdydcmdata_size(), 10);
    const auto& d = msg.rdydcmdata(9);
    EXPECT_EQ(d.date(), m_daily.at(999)->uniqueKey());
    // The profit share is a share; the cost bands nest around the mean cost.
    const std::vector<double> ordered = {0.0, d.hlbl(), 1.0};
    const std::vector<double> bands = {d.p90min(), d.p70min(), d.pjcb(), d.p70max(), d.p90max()};
    EXPECT_TRUE(std::is_sorted(ordered.begin(), ordered.end()));
    EXPECT_TRUE(std::is_sorted(bands.begin(), bands.end()));
    EXPECT_LT(d.p70jzd(), d.p90jzd());
    ASSERT_EQ(d.rdydcmsjfb_size(), 4);
    double held = 0, previousShare = 0;
    for (const auto& row : d.rdydcmsjfb(0).rdydcmjgfb())
        held += row.volume();
    // Each bar keeps 1 − t of the chips and adds t, so the part of the float
    // not yet covered by chips shrinks by the factor 1 − t per bar.
    double uncovered = 1.0;
    for (int i = 0; i < m_daily.count(); ++i) {
        const DQDUnionReader* r = m_daily.at(i);
        const double shares = PBDataChange::floatSharesAt("600000", r->uniqueKey());
        uncovered *= 1.0 - r->getValue(eFieldVolume).toDouble() / shares;
    }
    const double shares = PBDataChange::floatSharesAt("600000", d.date());
    EXPECT_NEAR(held / shares, 1.0 - uncovered, 1e-6);
    for (int i = 1; i < 4; ++i) {
        EXPECT_GT(d.rdydcmsjfb(i).share(), previousShare);  // longer periods hold more
        previousShare = d.rdydcmsjfb(i).share();
    }
}
