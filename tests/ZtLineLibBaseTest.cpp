#include <ZtLineLib.h>

#include <gtest/gtest.h>

namespace {

class Element : public ZtLineLibBase
{
public:
    void FillChild(QPainter*) override {}
    using ZtLineLibBase::m_barBodyWidth;
    using ZtLineLibBase::m_barCentreOffset;
    using ZtLineLibBase::m_barGap;
};

} // namespace

TEST(ZtLineLibBase, GeometryOfTheWorkedExample)
{
    ZtUIDataStruct::DQDDataList list;
    ZtUIDataStruct::DQDUnionReader r;
    r.setUniqueValue(20240105000000);
    list.append(r);
    Element e;
    e.setRect(0, 0, 600, 100);
    e.setData(&list);
    e.setRange(0, 60);
    EXPECT_DOUBLE_EQ(e.getPointW(), 10.0);
    EXPECT_EQ(e.m_barGap, 2);
    EXPECT_EQ(e.m_barBodyWidth, 7);
    EXPECT_EQ(e.m_barCentreOffset, 5);
    EXPECT_DOUBLE_EQ(e.getX(0), 6.0);
    EXPECT_DOUBLE_EQ(e.getX(1), 16.0);
}
