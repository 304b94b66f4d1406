#include "TestKit.h"

using namespace axistest;

namespace {

class Axis : public ZtLineLib_Reference
{
public:
    using ZtLineLib_Reference::drawTag;
    using ZtLineLib_Reference::makePaintContext;
    using ZtLineLib_Reference::PaintContext;
    using ZtLineLib_Reference::m_drawLeft;
    using ZtLineLib_Reference::m_drawRight;
};

using Tag = ZtLineLib_Reference::PaintedTag;
using Tags = QVector<Tag>;

// One member of every tag, in order.
template <typename T>
QList<T> each(const Tags& tags, T Tag::*member)
{
    QList<T> out;
    for (const auto& t : tags)
        out << t.*member;
    return out;
}

QStringList texts(const Tags& tags) { return each(tags, &Tag::text); }

class ReferenceTest : public ThemeFixture
{
protected:
    // The axis takes its field pens at construction, so it is made once the
    // test theme is in place.
    void SetUp() override
    {
        ThemeFixture::SetUp();
        axis = Axis();
    }

    // A band of bandHeight pixels between paddings of 22 (top) and 20
    // (bottom, room for half a tag) and 60-pixel tag columns on both sides.
    void place(double max, double min, int bandHeight, int prec, int bandWidth = 280)
    {
        axis.setRect(0, 0, bandWidth + 120, bandHeight + 42);
        axis.setFixedPaddingBottom(20);
        axis.setFixedPaddingLeft(60);
        axis.setFixedPaddingRight(60);
        axis.setData(&list);
        axis.setPrec(prec);
        axis.SetMaxMinValue(max, min);
        axis.setRange(0, list.count());
    }
    QImage paint() { return testkit::painted(axis, int(axis.getRect().width()), int(axis.getRect().height())); }

    ZtUIDataStruct::DQDDataList list = dailyBars(QDate(2024, 1, 2), QDate(2024, 2, 20));
    Axis axis;
};

} // namespace

TEST_F(ReferenceTest, TagsGridAndStubsOfTenToTwentyInsideTheRectangle)
{
    place(20, 10, 300, 2);
    QImage img = paint();
    auto tags = axis.paintedTags();
    const QStringList tenToTwenty({"20.00", "10.00", "18.00", "16.00", "14.00", "12.00"});
    EXPECT_EQ(texts(tags), tenToTwenty);
    EXPECT_EQ(each(tags, &Tag::y), QList<double>({22, 322, 82, 142, 202, 262}));
    EXPECT_EQ(each(tags, &Tag::color), QVector<QColor>(6, QColor("#ffff00")).toList()); // "Klinetag"
    // Grid lines across the band on the inner rows only.
    const int xl = int(axis.m_drawLeft);
    const int xr = int(axis.m_drawRight);
    for (int y : {82, 142, 202, 262})
        EXPECT_GT(countColour(img, QRect(xl + 1, y, xr - xl - 1, 1), 0x808000), 200) << y;
    EXPECT_EQ(countColour(img, QRect(xl + 1, 112, xr - xl - 1, 1), 0x808000), 0);
    // Stubs left of the band, frame lines in "Grid2" at top and bottom.
    // No secondary stub at xr + 1.
    testkit::expectPixels(img, {{xl - 2, 82, 0xff0000ffu}, {xl - 2, 83, 0xff000000u}, {xr + 1, 82, 0xff000000u}});
    EXPECT_GT(countColour(img, QRect(xl + 1, 322, xr - xl - 1, 1), 0xff00ff), 200);
    // Tag texts sit in the left column only.
    EXPECT_GT(countTinted(img, QRect(0, 75, 58, 15), 0xffff00), 0);
    EXPECT_EQ(countTinted(img, QRect(xr + 1, 0, 60, 330), 0xffff00), 0);

    // One step of the last decimal bounds the number of intervals.
    place(1.03, 1.00, 600, 2);
    paint();
    EXPECT_EQ(texts(axis.paintedTags()), QStringList({"1.03", "1.00", "1.02", "1.01"}));

    // Right percent tags bring their stubs and texts, and no tag twice.
    axis.setRightPercentTagEnable(true);
    axis.setQnowData(15);
    place(20, 10, 300, 2);
    img = paint();
    tags = axis.paintedTags();
    EXPECT_EQ(texts(tags), tenToTwenty);
    EXPECT_EQ(each(tags, &Tag::percentText).mid(0, 2), QStringList({"33.33%", "33.33%"}));
    EXPECT_EQ(img.pixel(xr + 1, 82) & 0xffffff, 0x0000ffu);
    EXPECT_GT(countTinted(img, QRect(xr + 3, 75, 58, 15), 0xffff00), 0);

    // Nothing lands outside the element's rectangle, not even the upper
    // half of a top tag that sits on the rectangle's edge.
    place(20, 10, 300, 2);
    axis.setRect(0, 100, 400, 200);
    axis.setFixedPaddingTop(0);
    axis.setRange(0, list.count());
    img = testkit::painted(axis, 800, 400);
    EXPECT_GT(countTinted(img, QRect(0, 100, 60, 10), 0xffff00), 0);
    EXPECT_EQ(countTinted(img, QRect(0, 0, 800, 100), 0xffff00), 0);
}

TEST_F(ReferenceTest, LargeValuesGetUnitsAndRepaintsFollowPrecision)
{
    // Run in order on one axis: tag texts are kept between repaints, and a
    // new precision must still show.
    const std::tuple<double, double, int, QStringList> steps[] = {
        {200000, 0, 2, {"20.00万", "0.00", "16.00万", "12.00万", "80000.00", "40000.00"}},
        {5e8, -2e5, 1, {"5.0亿", "-20.0万"}},
        {20, 10, 2, {"20.00"}},
        {20, 10, 1, {"20.0"}},
        {20, 10, 2, {"20.00"}},
    };
    for (const auto& [max, min, prec, first] : steps) {
        place(max, min, 300, prec);
        paint();
        EXPECT_EQ(texts(axis.paintedTags()).mid(0, first.size()), first) << max << " " << prec;
    }
}

TEST_F(ReferenceTest, TagColoursAndPercentTexts)
{
    place(11, 9, 300, 2);
    axis.setQnowData(10.004);
    QImage img = blankImage(400, 330);
    QPainter p(&img);
    const QRectF r(0, 0, 50, 12);
    const auto type = ZtLineLib_Reference::eTagColorByQnow;
    const Axis::PaintContext context = axis.makePaintContext(&p);
    for (auto [kind, v] : {std::pair{type, 10.001}, {type, 10.006}, {type, 9.99},
                           {ZtLineLib_Reference::eTagColorBySign, -0.5}, {ZtLineLib_Reference::eTagColorVol, 3.0}})
        axis.drawTag(&p, context, r, r, kind, v);
    auto tags = axis.paintedTags();
    EXPECT_EQ(each(tags, &Tag::color), QList<QColor>({"#ffffff", "#ff0000", "#00ff00", "#00ff00", "#00ffff"}));
    EXPECT_EQ(tags[0].text, "10.00");
    EXPECT_TRUE(tags[0].percentText.isEmpty());
    // A tag's text is centred in its rectangle, however tall.
    QImage tall = blankImage(60, 60);
    QPainter tp(&tall);
    axis.drawTag(&tp, axis.makePaintContext(&tp), QRectF(0, 0, 60, 60), r, type, 10.006);
    tp.end();
    EXPECT_GT(countTinted(tall, QRect(0, 20, 60, 20), 0xff0000), 0);
    EXPECT_EQ(testkit::countInk(tall, QRect(0, 0, 60, 15)) + testkit::countInk(tall, QRect(0, 45, 60, 15)), 0);

    // Left percent: change against the first shown open (10.00), unsigned,
    // direction by colour.
    axis.setLeftPercentEnable(true);
    const Axis::PaintContext percent = axis.makePaintContext(&p);
    for (double v : {9.0, 11.0, 10.0})
        axis.drawTag(&p, percent, r, r, ZtLineLib_Reference::eTagColorKline, v);
    tags = axis.paintedTags().mid(6); // after the six tags above
    EXPECT_EQ(texts(tags), QStringList({"10.00%", "10.00%", "0.00%"}));
    EXPECT_EQ(each(tags, &Tag::color), QList<QColor>({"#00ff00", "#ff0000", "#ffffff"}));
}

TEST_F(ReferenceTest, ScalingBoxReplacesTheBottomTag)
{
    axis.setDataScalingEnable(true);
    axis.setDataScaling(100);
    axis.setRightPercentTagEnable(true);
    place(2000, 1000, 300, 2);
    const QImage img = paint();
    const auto tags = axis.paintedTags();
    // The box, then the stand-alone bottom percent tag.
    ASSERT_EQ(texts(tags).mid(0, 3), QStringList({"20.00", "X100", ""}));
    EXPECT_TRUE(tags[1].scalingBox);
    EXPECT_FALSE(each(tags, &Tag::value).contains(1000.0));
    EXPECT_EQ(tags[2].percentText, "0.00%");
    // The box's right edge is 4 pixels left of the band, its outline in
    // "Klinetag", above the rectangle's bottom.
    const int edge = int(axis.m_drawLeft) - 4;
    EXPECT_GT(countColour(img, QRect(edge - 1, 300, 3, 42), 0xffff00), 5);
    EXPECT_EQ(countColour(img, QRect(edge + 2, 300, 3, 42), 0xffff00), 0);
    // Zero has one digit and a sign is none: their boxes start where that of 7 does.
    const auto boxLeft = [&](int scaling) {
        axis.setDataScaling(scaling);
        const QImage boxed = paint();
        int x = 0;
        while (x < edge && countColour(boxed, QRect(x, 300, 1, 42), 0xffff00) == 0)
            ++x;
        return x;
    };
    EXPECT_EQ(boxLeft(-7), boxLeft(7));
    EXPECT_EQ(boxLeft(0), boxLeft(7));
    // Zero scales nothing: neither the tags nor the mouse's value box divide by it.
    axis.setDataScaling(0);
    paint();
    EXPECT_EQ(texts(axis.paintedTags()).first(), "2000.00");
    EXPECT_EQ(axis.getAxisYDataString(int(axis.getRect().top() + axis.fixedPaddingTop())), "2000.00");
}

TEST_F(ReferenceTest, UnsetRangeDrawsZeroInTheUpPen)
{
    axis.setRightPercentTagEnable(true);
    place(kZtNoValue, kZtNoValueMax, 300, 2);
    const QImage img = paint();
    const auto tags = axis.paintedTags();
    ASSERT_FALSE(tags.isEmpty());
    for (const auto& t : tags)
        EXPECT_EQ(QStringList({t.text, t.percentText, t.color.name()}), QStringList({"0.00", "0.00%", "#ff0000"}));
    EXPECT_GT(countTinted(img, QRect(0, 0, 60, 330), 0xff0000), 0);
    EXPECT_EQ(countTinted(img, QRect(0, 0, 60, 330), 0xffff00), 0);

    // No records: nothing at all.
    list = ZtUIDataStruct::DQDDataList();
    place(20, 10, 300, 2);
    EXPECT_EQ(paint(), blankImage(400, 342));
    EXPECT_TRUE(axis.paintedTags().isEmpty());
}

TEST_F(ReferenceTest, BinaryStyleMirrorsAboutTheMiddle)
{
    axis.setBinaryStyleEnable(true);
    axis.setMainValueOnRight(true);
    place(100, 0, 300, 0);
    const QImage img = paint();
    EXPECT_EQ(each(axis.paintedTags(), &Tag::value), QList<double>({100, 0, 50, 75, 25}));
    const auto& tags = axis.paintedTags(); // 25 as far below the middle as 75 above it
    EXPECT_EQ(tags[4].y - tags[2].y, tags[2].y - tags[3].y);
    EXPECT_EQ(axis.paintedTags()[0].y, 22.0); // the top tag, on the right, centred on the band's top
    const int xl = int(axis.m_drawLeft);
    const int xr = int(axis.m_drawRight);
    EXPECT_GT(countColour(img, QRect(xl + 1, 172, xr - xl - 1, 1), 0xff00ff), 200);
    // Main tags and stubs on the right now.
    EXPECT_EQ(img.pixel(xr + 1, 172) & 0xffffff, 0x0000ffu);
    EXPECT_EQ(img.pixel(xl - 2, 172) & 0xffffff, 0u);
    EXPECT_GT(countTinted(img, QRect(xr + 3, 165, 58, 15), 0xffff00), 0);
}

TEST_F(ReferenceTest, IntradayDaysBandsTimeGridAndLabels)
{
    ZtUIDataStruct::DQDDataList minutes;
    for (int i = 0; i < 3 * 241; ++i)
        appendBar(minutes, 20240102093000LL + i, 10, 10);
    list = minutes;
    axis.setStyleToDyna(true);
    axis.setShowDRFS(3);
    axis.setIsMainChat(true);
    place(11, 9, 300, 2, 3 * 241 * 2);
    ASSERT_DOUBLE_EQ(axis.getPointW(), 2.0);
    const QImage img = paint();
    const int x0 = int(axis.m_drawLeft); // 61
    // Earlier days shaded, closed by a "Grid2" line at 2 days minus one item.
    testkit::expectPixels(img, {{x0 + 10, 200, 0xff202020u}, {x0 + 970, 200, 0xff000000u}, {x0 - 2, 22, 0xff000000u}});
    EXPECT_GT(countColour(img, QRect(x0 + 962, 30, 1, 280), 0xff00ff), 250);
    // Dotted minor grid every 30 minutes, solid major every 120; the third
    // day's grid restarts at its first minute (item 361 instead of 360).
    EXPECT_GT(countColour(img, QRect(x0 + 60, 30, 1, 280), 0x008080), 50);
    EXPECT_GT(countColour(img, QRect(x0 + 240, 30, 1, 280), 0xff00ff), 250);
    EXPECT_GT(countColour(img, QRect(x0 + 722, 30, 1, 280), 0xff00ff), 250);
    EXPECT_EQ(countColour(img, QRect(x0 + 720, 30, 1, 280), 0xff00ff), 0);
    // No stubs in this style (black left of the band); the frame takes the "Grid1" pen.
    EXPECT_GT(countColour(img, QRect(x0 + 1, 22, 500, 1), 0x0000ff), 400);
    // Day labels over the first two days only, 5 px into each.
    const QRgb label = 0xff8000;
    EXPECT_GT(countTinted(img, QRect(x0 + 5, 22, 60, 20), label), 0);
    EXPECT_EQ(countTinted(img, QRect(x0 - 5, 22, 10, 20), label), 0);
    EXPECT_GT(countTinted(img, QRect(x0 + 487, 22, 60, 20), label), 0);
    EXPECT_EQ(countTinted(img, QRect(x0 + 969, 22, 60, 20), label), 0);
    // One day with its call auction: the grid counts on from the auction's end.
    axis.setShowDRFS(1);
    axis.setShowJHJJ(true);
    EXPECT_GT(countColour(paint(), QRect(x0 + 270, 30, 1, 280), 0xff00ff), 250);
}

TEST_F(ReferenceTest, NumbersPaddingsAndStyle)
{
    for (auto [v, prec, rounded, cut] : {std::tuple{1.005, 2, 1.01, 1.0}, {10.004, 2, 10.0, 10.0}, {-2.4, 0, -2.0, -2.0},
                                         {3.14159, 2, 3.14, 3.14}, {3.9, 0, 4.0, 3.0}, {-2.789, 1, -2.8, -2.7}}) {
        EXPECT_DOUBLE_EQ(ZtLineLib_Reference::roundToPrec(v, prec), rounded) << v;
        EXPECT_DOUBLE_EQ(ZtLineLib_Reference::truncateToPrec(v, prec), cut) << v;
    }
    EXPECT_DOUBLE_EQ(ZtLineLib_Reference::truncateToPrec(1.5e20, 2), 1.5e20);
    EXPECT_DOUBLE_EQ(ZtLineLib_Reference::truncateToPrec(1.2345e-7, 2), 1.23e-7);

    // A default top of 22 and the cross padding counted once.
    EXPECT_DOUBLE_EQ(Axis().fixedPaddingBottom(), 8.0);
    axis.setCrossPaddingTop(5);
    axis.setCrossPaddingTop(5);
    EXPECT_DOUBLE_EQ(axis.fixedPaddingTop(), 32.0);

    axis.setFixedPaddingTop(22);
    place(20, 10, 300, 2);
    const auto texts = [&](std::initializer_list<int> ys) {
        QStringList out;
        for (int y : ys)
            out << axis.getAxisYDataString(y);
        return out;
    };
    EXPECT_EQ(texts({322, 342, 22, 172}), QStringList({"10.00", "9.33", "20.00", "15.00"}));
    axis.setDataScaling(100);
    EXPECT_EQ(axis.getAxisYDataString(22), "0.20");
    axis.setDataScaling(1);
    // The value at a height follows the axis's own scale: logarithmic (the
    // middle of 1 … 100 is 10, not 50.50), and percent from the first open.
    axis.setCoordinateSystem(eLogarithmic);
    place(100, 1, 300, 2);
    EXPECT_EQ(texts({172, 22}), QStringList({"10.00", "100.00"}));
    axis.setCoordinateSystem(eLinear);
    axis.setLeftPercentEnable(true);
    place(11, 9, 300, 2);
    EXPECT_EQ(texts({22, 322, 172}), QStringList({"10.00%", "-10.00%", "0.00%"}));

    // Hostile settings end without hanging.
    axis.setMinTagSpace(0);
    axis.setMaxTagLineCount(1 << 30);
    axis.setShowDRFS(1 << 30);
    axis.setIsMainChat(true);
    paint();
    EXPECT_LE(axis.paintedTags().size(), 302);
}
