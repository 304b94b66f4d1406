// The data service and its panes over the sample bars of 600000 with its
// float shares and the sample chip-lock feed.

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
        ASSERT_TRUE(PBDataChange::attachChipLockFeed("600000", samplePath("sh600000_chiplock.csv"), &error))
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

    DQDDataList m_daily;
};

} // namespace

// The margin pane over the sample feed is painted and read by the host kit's tests.
TEST_F(ServicePaneSample, ChipLockPaneEndsWithTheLastBarAndPaints)
{
    ASSERT_EQ(m_daily.count(), 1000);
    const double lastClose = m_daily.at(999)->getValue(eFieldClose).toDouble();

    F lock(F::eFT_CMSD);
    compute(lock);
    ASSERT_EQ(lock.formulaLines().lineCount(), 6);
    const Formulas::formulaLine* spj = lock.formulaLines().lineAt(3);
    ASSERT_EQ(spj->values.size(), 1000);
    EXPECT_EQ(spj->values[749], kMarker);
    EXPECT_EQ(spj->values[999], float(lastClose));
    const QImage img = testkit::painted(lock, 600, 150);
    EXPECT_GT(testkit::countInk(img, img.rect()), 0);
}

TEST_F(ServicePaneSample, ChipFiguresOfRealBarsAreConsistent)
{
    const DQDUnionReader reader = readerOf("600000");
    const auto msg = ZtZB_Ydcmjs::Ydcmjs(m_daily, reader, 0, eZtYdcmOutAll, 1, eZtYdcmTriangular, 1.0, {});
    ASSERT_EQ(msg.rdydcmdata_size(), 1);
    const auto& d = msg.rdydcmdata(0);
    EXPECT_EQ(d.date(), m_daily.at(999)->uniqueKey());
    // The cost bands nest around the mean cost.
    const std::vector<double> bands = {d.p90min(), d.p70min(), d.pjcb(), d.p70max(), d.p90max()};
    EXPECT_TRUE(std::is_sorted(bands.begin(), bands.end()));
    EXPECT_LT(d.p70jzd(), d.p90jzd());
    double held = 0;
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
}
