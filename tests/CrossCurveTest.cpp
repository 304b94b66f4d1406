#include "TestKit.h"

using namespace ZtUIDataStruct;

namespace {

// 80 daily bars from 2 January 2024 (calendar days, weekends included: the
// crosshair does not care), then 10 slots without data.
DQDDataList makeBars()
{
    DQDDataList list;
    const QDate start(2024, 1, 2);
    for (int i = 0; i < 90; ++i)
        list.append(i < 80 ? testkit::record(testkit::dayKey(start.addDays(i)), {{eFieldClose, 10.0}})
                           : DQDUnionReader());
    return list;
}

// A pane and its value axis over 0 … 600 × 0 … 200 (band 10 … 190, tags in
// a 60-pixel right padding), and a time axis 0 … 800 under it.
struct Chart
{
    DQDDataList bars = makeBars();
    ZtLineLib_Formula pane;
    ZtLineLib_Reference axis;
    ZtLineLib_Scaleplate time;
    ZtLineCrossCurve cross;
    QImage image{800, 240, QImage::Format_ARGB32_Premultiplied};

    Chart()
    {
        pane.setRect(4, 0, 800, 200);
        pane.setData(&bars);
        pane.setRange(0, 80); // item i centred at x = 10 i + 10
        axis.setRect(0, 0, 600, 200);
        axis.setFixedPaddingTop(10);
        axis.setFixedPaddingBottom(10);
        axis.setFixedPaddingLeft(0);
        axis.setFixedPaddingRight(60);
        axis.setData(&bars);
        axis.SetMaxMinValue(20.0, 0.0);
        axis.setRange(0, 80);
        time.setRect(0, 200, 800, 20);
        time.setData(&bars);
        time.setRange(0, 80);
        cross.setCroMouseEnable(true);
        image.fill(Qt::white);
    }

    void fill(QPoint pos, int index, ZtLineLib_Formula* p = nullptr)
    {
        QPainter painter(&image);
        cross.Fill(&painter, pos, index, p ? p : &pane);
    }
};

} // namespace

TEST(CrossCurve, ValueBoxBesideTheBandAtTheMouseHeight)
{
    const testkit::ThemeColours theme{{"CrossCurveBackground", "#204060"}};
    Chart c;
    c.cross.appendRefrenc(&c.axis);
    c.cross.appendRefrenc(&c.axis); // registered once: one box
    c.cross.setDrawHLine(true);

    // Boxes without lines.
    c.fill(QPoint(300, 100), 20);
    ASSERT_EQ(c.cross.lastValueBoxes().size(), 1);
    const auto box = c.cross.lastValueBoxes().first();
    EXPECT_EQ(box.rect, QRectF(541, 100, 58, c.axis.getDataBoxHeight()));
    EXPECT_EQ(box.text, "10"); // the middle of 20 … 0, no decimals set
    EXPECT_TRUE(c.cross.lastLines().isEmpty());
    EXPECT_EQ(c.image.pixelColor(595, 102), QColor("#204060"));

    // With the lines: the horizontal one across the band, the vertical one
    // through the item's centre from the band's top to its bottom.
    c.cross.setDrawLineEnable(true);
    c.cross.setCrossPaddingTop(5);
    c.fill(QPoint(300, 100), 20);
    EXPECT_EQ(c.cross.lastLines(),
              (QList<QLine>{QLine(0, 100, 540, 100), QLine(210, 9 - 5, 210, 191)}));

    // On the band's top edge: no horizontal line and no box, the vertical stays.
    c.fill(QPoint(300, 9), 20);
    EXPECT_TRUE(c.cross.lastValueBoxes().isEmpty());
    EXPECT_EQ(c.cross.lastLines(), QList<QLine>{QLine(210, 9 - 5, 210, 191)});

    // Near the bottom the box goes above the mouse.
    ASSERT_GT(c.axis.getDataBoxHeight(), 12);
    c.fill(QPoint(300, 188), 20);
    ASSERT_EQ(c.cross.lastValueBoxes().size(), 1);
    EXPECT_EQ(c.cross.lastValueBoxes().first().rect.bottom(), 188);
    // One that just reaches the bottom stays below.
    c.fill(QPoint(300, 200 - c.axis.getDataBoxHeight()), 20);
    EXPECT_EQ(c.cross.lastValueBoxes().first().rect.bottom(), 200);

    // An axis whose range was never set gets the lines but no box.
    ZtLineLib_Reference bare;
    bare.setRect(0, 0, 600, 200);
    EXPECT_TRUE(c.cross.deleteRefrenc(&c.axis));
    EXPECT_FALSE(c.cross.deleteRefrenc(&c.axis));
    c.cross.appendRefrenc(&bare);
    c.fill(QPoint(300, 100), 20);
    EXPECT_TRUE(c.cross.lastValueBoxes().isEmpty());
    EXPECT_EQ(c.cross.lastLines().size(), 2); // the vertical and the horizontal
}

TEST(CrossCurve, TimeBoxStaysClearOfTheAxisEnds)
{
    Chart c;
    c.cross.appendScaleplate(&c.time);
    c.cross.appendScaleplate(&c.time); // registered once: one box
    c.cross.setTooltipMarginForScaleplateBtns(40);

    // Item 78 centred at x 790: the box ends short of the margin.
    c.fill(QPoint(0, 100), 78);
    ASSERT_EQ(c.cross.lastTimeBoxes().size(), 1);
    const auto box = c.cross.lastTimeBoxes().first();
    EXPECT_EQ(box.rect, QRectF(682, 200, 78, 18));
    EXPECT_EQ(box.text, "2024-03-20");

    c.fill(QPoint(0, 100), 0); // cross x 10
    EXPECT_EQ(c.cross.lastTimeBoxes().first().rect.left(), 40);

    EXPECT_TRUE(c.cross.deleteScaleplate(&c.time));
    EXPECT_FALSE(c.cross.deleteScaleplate(&c.time));
    c.fill(QPoint(0, 100), 0);
    EXPECT_TRUE(c.cross.lastTimeBoxes().isEmpty());
}

TEST(CrossCurve, ItemIndexIsClampedAndBadCallsDrawNothing)
{
    Chart c;
    c.cross.appendScaleplate(&c.time);
    c.cross.appendRefrenc(&c.axis);
    c.cross.setDrawLineEnable(true);
    c.pane.setRange(70, 20); // the last ten shown slots hold no data

    c.fill(QPoint(0, 100), 500);
    ASSERT_EQ(c.cross.lastTimeBoxes().size(), 1);
    EXPECT_EQ(c.cross.lastTimeBoxes().first().text, c.time.getDataString(79));
    const int x = int(c.pane.getX(9));
    EXPECT_EQ(c.cross.lastLines().first().x1(), x);

    const QImage before = c.image;
    c.fill(QPoint(0, 100), -1);
    QPainter painter(&c.image);
    c.cross.Fill(&painter, QPoint(0, 100), 5, nullptr);
    c.cross.setCroMouseEnable(false);
    c.cross.Fill(&painter, QPoint(0, 100), 5, &c.pane);
    painter.end();
    EXPECT_EQ(c.image, before);
}
