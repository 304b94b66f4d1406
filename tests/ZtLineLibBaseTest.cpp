#include "TestKit.h"

using namespace ZtUIDataStruct;

namespace {

class Element : public ZtLineLibBase
{
public:
    int fills = 0;

    void FillChild(QPainter*) override { ++fills; }
    QString getChildDataString(int index) override { return QString::number(index); }

    using ZtLineLibBase::m_barBodyWidth;
    using ZtLineLibBase::m_barCentreOffset;
    using ZtLineLibBase::m_barGap;
    using ZtLineLibBase::m_drawLeft;
    using ZtLineLibBase::m_drawRight;
};

// count records keyed 1, 2, …; the indices in `empty` get key 0.
DQDDataList makeList(int count, std::initializer_list<int> empty = {}, double high = 20,
                     double low = 10)
{
    DQDDataList list;
    for (int i = 0; i < count; ++i) {
        const bool none = std::find(empty.begin(), empty.end(), i) != empty.end();
        list.append(testkit::record(none ? 0 : i + 1, {{eFieldHigh, high}, {eFieldLow, low}}));
    }
    return list;
}

// Geometry of a window of `length` items from `first` on a rectangle
// `width` pixels wide.
void layout(Element* e, DQDDataList* list, int width, int length, int first = 0, int height = 100)
{
    e->setRect(0, 0, width, height);
    e->setData(list);
    e->setRange(first, length);
}

} // namespace

TEST(ZtLineLibBase, PointSizeBodyGapAndCentreOffset)
{
    DQDDataList list = makeList(1);
    Element e;
    // Slot width (window of 10 items) → gap, body width, centre offset.
    for (auto [width, gap, body, offset] :
         {std::tuple{30, 0, 3, 1}, {20, 0, 1, 0}, {400, 5, 35, 22}, {25, 0, 1, 0}, {5, 0, -1, -1}}) {
        layout(&e, &list, width, 10);
        EXPECT_EQ(std::make_tuple(e.m_barGap, e.m_barBodyWidth, e.m_barCentreOffset),
                  std::make_tuple(gap, body, offset)) << width;
    }
    layout(&e, &list, 600, 60); // the worked example
    EXPECT_EQ(std::make_tuple(e.getPointW(), e.m_barGap, e.m_barBodyWidth, e.m_barCentreOffset, e.getX(0), e.getX(1)),
              std::make_tuple(10.0, 2, 7, 5, 6.0, 16.0));

    // Paddings narrow the band; a zero length ends at the bound; a negative
    // window start becomes 0.
    e.setRect(100, 0, 600, 100);
    e.setFixedPaddingLeft(7);
    e.setFixedPaddingRight(3);
    e.setRange(-4, 59);
    EXPECT_EQ(std::make_tuple(e.getPointW(), e.m_drawLeft, e.m_drawRight, e.dataShowIndex()),
              std::make_tuple(10.0, 108.0, 696.0, 0));
    e.setRange(0, 0);
    EXPECT_EQ(std::make_tuple(e.getPointW(), e.m_barGap, e.m_barBodyWidth), std::make_tuple(2100.0, 5, 2095));
}

TEST(ZtLineLibBase, GetYLinearLogarithmicAndClamped)
{
    DQDDataList list; // even an empty list lets the vertical scale be set
    Element e;
    e.setData(&list);
    e.setRect(0, 50, 100, 200);
    e.setFixedPaddingTop(10);
    e.setFixedPaddingBottom(30);
    e.SetMaxMinValue(20, 10);
    EXPECT_DOUBLE_EQ(e.getPointH(), 16.0);
    // Above the range: the rectangle's top; far below: its bottom.
    for (auto [v, y] : {std::pair{20.0, 50.0}, {10.0, 210.0}, {15.0, 130.0}, {25.0, 50.0}, {-100.0, 250.0}})
        EXPECT_DOUBLE_EQ(e.getY(v), y) << v;
    e.SetMaxMinValue(7, 7); // no span: the scale stays
    EXPECT_DOUBLE_EQ(e.getPointH(), 16.0);

    Element log;
    log.setData(&list);
    log.setRect(0, 0, 100, 200);
    log.setCoordinateSystem(eLogarithmic);
    log.SetMaxMinValue(1000, 10);
    for (auto [v, y] : {std::pair{100.0, 100.0}, {1000.0, 0.0}, {10.0, 200.0}, {10000.0, 0.0}})
        EXPECT_NEAR(log.getY(v), y, 1e-9) << v;
}

TEST(ZtLineLibBase, ItemUnderX)
{
    // 100 records; the window shows 20 … 79 at 10 pixels an item, drawLeft 1.
    DQDDataList list = makeList(100, {20, 21, 43, 44, 45, 78, 79});
    Element e;
    layout(&e, &list, 600, 60, 20);

    // Outside the rectangle: the first/last shown item with data, relative
    // like every other answer, so the texts name that item.
    // Slot boundaries are truncated pixel positions: 11 starts item 1.
    // Empty slots: skipped backwards, or −1 when nothing is left.
    for (auto [x, skipEmpty, index] : {std::tuple{0, true, 2}, {600, false, 57}, {-1, false, -1}, {10, false, 0},
                                       {11, false, 1}, {254, false, 25}, {254, true, 22}, {14, true, -1}, {14, false, 1}})
        EXPECT_EQ(e.getAxisXDataIndex(x, skipEmpty), index) << x << " " << skipEmpty;
    EXPECT_EQ(QStringList({e.getAxisXDataString(0), e.getAxisXDataString(600), e.getAxisXDataString(254)}),
              QStringList({"22", "77", "42"}));

    // A window reaching past the data clamps to the last record.
    e.setRange(90, 60);
    EXPECT_EQ(e.getAxisXDataIndex(590, false), 9);
    EXPECT_EQ(e.getAxisXDataString(590), QStringLiteral("99"));
    // Past the data, or showing only empty slots: no item at either edge.
    for (auto [first, length] : {std::pair{110, 2}, {43, 3}}) {
        e.setRange(first, length);
        EXPECT_EQ(std::make_pair(e.getAxisXDataIndex(0, false), e.getAxisXDataIndex(600, false)),
                  std::make_pair(-1, -1)) << first;
    }

    // With a fractional item width every centre lies in its own item.
    e.setRect(0, 0, 700, 100);
    e.setRange(0, 60);
    for (int i = 0; i < 60; ++i) {
        ASSERT_EQ(e.getAxisXDataIndex(int(e.getX(i)), false), i) << i;
        const int left = int(i * e.getPointW() + e.m_drawLeft);
        if (i > 0 && left > 0)
            ASSERT_EQ(e.getAxisXDataIndex(left - 1, false), i - 1) << i;
    }
}

TEST(ZtLineLibBase, HitTestSpansHighToLowWidenedByFivePixels)
{
    // Every bar spans 10 … 20 except records 15 and 20, which span 25 … 30.
    DQDDataList list = makeList(40);
    for (int i : {15, 20}) {
        list.at(i)->setValue(eFieldHigh, 30.0);
        list.at(i)->setValue(eFieldLow, 25.0);
    }
    Element e;
    layout(&e, &list, 600, 20, 10, 400); // 30 pixels an item; record 15 is item 5
    e.SetMaxMinValue(40, 0); // 10 pixels a unit: high at y 100, low at 150
    const int x = int(e.getX(5));
    // At the left edge the first shown bar (record 10, not 20) is tested.
    const std::pair<QPoint, bool> hits[] = {{{x, 95}, true},   {{x, 94}, false},  {{x, 155}, true},
                                            {{x, 156}, false}, {{int(e.getX(4)), 125}, false},
                                            {{-3, 125}, false}, {{0, 205}, true}, {{0, 125}, false}};
    for (const auto& h : hits)
        EXPECT_EQ(e.checkAxisContainsPos(h.first), h.second) << h.first.x() << "," << h.first.y();
}

TEST(ZtLineLibBase, FreshElementAndTextIndexBounds)
{
    QImage image(50, 50, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    Element e;
    e.Fill(&painter);
    e.setRange(3, 4); // ignored without data
    EXPECT_EQ(std::make_tuple(e.fills, e.getAxisXDataIndex(10, true), e.getAxisXFirstDataIndex(), e.dataLength(),
                              e.dataShowIndex(), e.getDataByIndex(0)),
              std::make_tuple(0, -1, -1, 0, 0, nullptr));
    EXPECT_TRUE(e.getDataString(0).isEmpty());

    DQDDataList list = makeList(3);
    e.setData(&list);
    e.Fill(&painter);
    EXPECT_EQ(e.fills, 1);
    // Index = count names no record and must not reach the derived element.
    EXPECT_EQ(QStringList({e.getDataString(2), e.getDataString(3), e.getDataString(-1)}), QStringList({"2", "", ""}));
    EXPECT_EQ(e.getDataByIndex(3), nullptr);
}
