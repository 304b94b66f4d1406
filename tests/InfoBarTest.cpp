#include "TestKit.h"

using namespace ZtUIDataStruct;
using Bar = ZtLineLib_InfoBar;

namespace {

constexpr qint64 day(int y, int m, int d)
{
    return (y * 10000LL + m * 100 + d) * 1000000LL;
}

// Mon 17 July 2023 … Tue 25 July 2023, trading days only.
const QList<qint64> kDays = {day(2023, 7, 17), day(2023, 7, 18), day(2023, 7, 19),
                             day(2023, 7, 20), day(2023, 7, 21), day(2023, 7, 24),
                             day(2023, 7, 25)};

DQDDataList listOf(const QList<qint64>& keys)
{
    DQDDataList list;
    for (qint64 k : keys)
        list.append(testkit::record(k));
    return list;
}

DQDUnionReader event(unsigned int field, qint64 time, const QVariant& text = {})
{
    DQDUnionReader r;
    r.setUniqueValue(time);
    r.setValue(field, time);
    if (text.isValid())
        r.setValue(field == eFieldDividendTime ? eFieldDividendText : eFieldLevel, text);
    return r;
}

DQDDataList events(std::initializer_list<DQDUnionReader> records)
{
    DQDDataList list;
    for (const auto& r : records)
        list.append(r);
    return list;
}

QList<int> indices(const Bar& bar)
{
    QList<int> out;
    for (const auto& info : bar.lineInfos())
        out << info.index;
    return out;
}

// Paints the bar into a fresh image and returns the image.
QImage paint(Bar& bar, QSize size = QSize(800, 200))
{
    QImage img = testkit::blankImage(size.width(), size.height(), Qt::white);
    QPainter p(&img);
    bar.Fill(&p);
    EXPECT_FALSE(p.hasClipping()); // the clip of the icons is not left behind
    return img;
}

// A bar over the seven trading days, all shown in 700 × 100.
class InfoBarTest : public ::testing::Test
{
protected:
    InfoBarTest()
    {
        bar.setRect(0, 0, 700, 100);
        bar.setData(&bars);
        bar.setRange(0, 7);
    }
    DQDDataList bars = listOf(kDays);
    Bar bar;
};

} // namespace

TEST_F(InfoBarTest, DatedEventsLandOnTheFirstBarNotBeforeTheirDate)
{
    bar.setRange(1, 5); // 18 … 24 July shown
    bar.addLineInfo(Bar::eLineInfoDividend,
                    events({event(eFieldDividendTime, day(2023, 7, 17)),   // before the window
                            event(eFieldDividendTime, day(2023, 7, 19)),
                            event(eFieldDividendTime, day(2023, 7, 19)),   // duplicate
                            event(eFieldDividendTime, day(2023, 7, 22)),   // Saturday
                            event(eFieldDividendTime, day(2023, 7, 25))}));// after the last shown bar
    EXPECT_EQ(indices(bar), (QList<int>{1, 4}));
    EXPECT_EQ(bar.lineInfos().at(1).key, day(2023, 7, 22));

    // A window starting at the first record takes an earlier event onto it.
    bar.setRange(0, 7);
    bar.addLineInfo(Bar::eLineInfoDividend, events({event(eFieldDividendTime, day(2023, 7, 1))}));
    EXPECT_EQ(indices(bar), (QList<int>{0}));
    // A window running past the last record still places an event on it.
    bar.setRange(5, 10);
    bar.addLineInfo(Bar::eLineInfoDividend, events({event(eFieldDividendTime, day(2023, 7, 25))}));
    EXPECT_EQ(indices(bar), (QList<int>{1})); // counted from the window start
}

TEST_F(InfoBarTest, LevelEventsTakeTheBarWhoseIntervalHoldsThem)
{
    bar.addLineInfo(Bar::eLineInfoLevel,
                    events({event(eFieldLevelTime, day(2023, 7, 19)),              // exactly a bar
                            event(eFieldLevelTime, day(2023, 7, 22) + 93000),     // weekend → Monday
                            event(eFieldLevelTime, day(2023, 7, 10)),           // before record 0
                            event(eFieldLevelTime, day(2023, 7, 20) + 103000),    // a daily bar's own day
                            event(eFieldLevelTime, day(2023, 7, 25) + 103000)}));  // the last bar's day
    EXPECT_EQ(indices(bar), (QList<int>{2, 5, 0, 3, 6}));

    // Once the window leaves record 0 the early event has no bar.
    bar.setRange(1, 6);
    EXPECT_EQ(indices(bar), (QList<int>{1, 4, 2, 5}));
}

TEST_F(InfoBarTest, ClearingByTypeKeepsTheOthersInOrder)
{
    bar.addLineInfo(Bar::eLineInfoDividend, events({event(eFieldDividendTime, day(2023, 7, 18)),
                                                    event(eFieldDividendTime, day(2023, 7, 24))}));
    bar.addLineInfo(Bar::eLineInfoLevel, events({event(eFieldLevelTime, day(2023, 7, 20))}));
    bar.addLineInfo(Bar::eLineInfoNotice, events({event(eFieldNoticeTime, day(2023, 7, 21))}));

    bar.clearLineInfo(Bar::eLineInfoLevel);
    QList<int> types;
    for (const auto& info : bar.lineInfos())
        types << info.type;
    EXPECT_EQ(types, (QList<int>{2, 2, 8}));
    bar.setRange(0, 7); // the emptied list stays empty on the next rebuild
    EXPECT_EQ(bar.lineInfos().size(), 3);

    bar.clearLineInfo(Bar::eLineInfoAll);
    EXPECT_TRUE(bar.lineInfos().isEmpty());
    bar.setRange(0, 7);
    EXPECT_TRUE(bar.lineInfos().isEmpty());
}

TEST_F(InfoBarTest, PaintedIconsAnswerHitTestsOnTheirEdges)
{
    bar.setRect(0, 50, 700, 100);
    bar.setRange(0, 7);
    bar.addLineInfo(Bar::eLineInfoDividend, events({event(eFieldDividendTime, day(2023, 7, 19))}));
    bar.addLineInfo(Bar::eLineInfoNotice, events({event(eFieldNoticeTime, day(2023, 7, 19) + 1)}));
    EXPECT_EQ(bar.FindLinfo(QPoint(0, 0)).type, 0); // nothing is hit before the first paint

    const QImage img = paint(bar);
    const Bar::LineInfo icon = bar.lineInfos().first();
    const int xu = int(2 * bar.getPointW() + bar.getX(0));
    // Centred on the item, standing on the bottom of the rectangle.
    EXPECT_EQ(QRect(icon.x, icon.y, icon.width, icon.height), QRect(xu - 3, 150 - 11, 6, 11));
    EXPECT_GT(testkit::countInk(img, QRect(icon.x, icon.y, 6, 11), qRgb(255, 255, 255)), 0); // the icon is there

    const QPoint corner(icon.x + icon.width, icon.y + icon.height);
    EXPECT_EQ(bar.FindLinfo(corner).key, day(2023, 7, 19));
    EXPECT_EQ(bar.FindLinfoList(corner).size(), 2); // both icons share the bar
    EXPECT_EQ(bar.FindLinfo(corner + QPoint(1, 0)).type, 0);
    EXPECT_EQ(bar.FindLinfo(corner + QPoint(0, 1)).key, 0);
}

TEST_F(InfoBarTest, IntradayEventsOutsideTheWindowAreNotShown)
{
    const qint64 m = day(2023, 7, 21);
    bars = listOf({m + 93000, m + 93100, m + 93200, m + 93300});
    bar.setIsDLine(true);
    bar.setRange(1, 3);
    bar.addLineInfo(Bar::eLineInfoDividend, events({event(eFieldLevelTime, m + 93000),
                                                    event(eFieldLevelTime, m + 93200),
                                                    event(eFieldLevelTime, m + 93230)}));
    EXPECT_EQ(indices(bar), (QList<int>{-1, 1}));
    paint(bar);
    EXPECT_EQ(bar.lineInfos().at(0).width, 0);
    EXPECT_EQ(bar.lineInfos().at(1).width, 6);
}

TEST_F(InfoBarTest, PromptOpensToTheLeftNearTheRightEdge)
{
    const testkit::ThemeColours theme{{"CrossCurveBackground", "#102030"}};
    bar.setRect(0, 0, 350, 200);
    bar.setRange(0, 7);
    bar.addLineInfo(Bar::eLineInfoDividend,
                    events({event(eFieldDividendTime, day(2023, 7, 18), "10派3.2元"),
                            event(eFieldDividendTime, day(2023, 7, 25), "10派2.5元")}));
    QImage img = paint(bar, QSize(350, 200));
    QPainter p(&img);
    const QFontMetrics fm = p.fontMetrics();
    const QList<Bar::LineInfo> infos = bar.lineInfos();

    const QRectF early = bar.getPromptRect(fm, {infos[0]});
    EXPECT_EQ(early.topLeft(), QPointF(infos[0].x + 6 - 10, infos[0].y - 2 * fm.height() - 5));
    EXPECT_EQ(early.size(), QSizeF(fm.horizontalAdvance("派息 : 2023-07-18"), 2 * fm.height() - 2));

    const QRectF late = bar.getPromptRect(fm, {infos[1]});
    EXPECT_EQ(late.right(), infos[1].x - 6);
    bar.FillPrompt(&p, {infos[1]});
    bar.FillPrompt(nullptr, {infos[1]}); // without a painter: nothing, no crash
    EXPECT_EQ(img.pixelColor(int(late.right()) - 2, int(late.bottom()) - 2), QColor("#102030"));
    // The first line fills the box's width: its right end is in the upper half
    // (a wrapped line would leave that corner empty).
    const QRect upperRight(QPoint(int(late.right()) - int(late.width()) / 4, int(late.top()) + 1),
                           QPoint(int(late.right()) - 2, int(late.center().y()) - 1));
    EXPECT_GT(testkit::countInk(img, upperRight, qRgb(0x10, 0x20, 0x30)), 0);

    // A level event has no texts: it ends the prompt, so no box at all.
    Bar::LineInfo level;
    level.type = Bar::eLineInfoLevel;
    EXPECT_TRUE(bar.getPromptRect(fm, {level, infos[0]}).isNull());
}
