#include "TestKit.h"

#include <cmath>

using namespace axistest;

namespace {

using Label = ZtLineLib_Scaleplate::DrawnLabel;

class ScaleplateTest : public ThemeFixture
{
protected:
    void SetUp() override
    {
        ThemeFixture::SetUp();
        axis = ZtLineLib_Scaleplate(); // pens come from the test theme
    }

    // A 30-pixel strip under a pane with 60-pixel tag columns, whose band
    // gives each shown item pointW pixels.
    void place(const ZtUIDataStruct::DQDDataList& data, int first, int length, double pointW)
    {
        list = data;
        axis.setRect(0, 0, int(std::lround(length * pointW)) + 120, 30);
        axis.setFixedPaddingLeft(60);
        axis.setFixedPaddingRight(60);
        axis.setData(&list);
        axis.setRange(first, length);
    }
    QImage paint() { return testkit::painted(axis, int(axis.getRect().width()) + 100, 30); }
    // One member of every drawn label, in order.
    template <typename T>
    QList<T> labels(T Label::*member) const
    {
        QList<T> out;
        for (const Label& l : axis.drawnLabels())
            out << l.*member;
        return out;
    }
    QStringList labelTexts() const { return labels(&Label::text); }

    ZtUIDataStruct::DQDDataList list;
    ZtLineLib_Scaleplate axis;
};

} // namespace

TEST_F(ScaleplateTest, MonthLabelsOverDailyBarsWithTicks)
{
    const auto bars = dailyBars(QDate(2024, 1, 28), QDate(2024, 3, 5));
    place(bars, 0, bars.count(), 10);
    const QImage img = paint();
    EXPECT_EQ(labelTexts(), QStringList({"01", "02", "03"}));
    EXPECT_EQ(labels(&Label::item), QList<int>({0, 4, 33}));
    for (const Label& l : axis.drawnLabels()) {
        EXPECT_EQ(l.kind, Label::eMain);
        const int tick = int(l.x) - 2; // the text starts 2 pixels right of it
        EXPECT_EQ(countColour(img, QRect(tick, 0, 1, 2), 0x0000ff), 2) << l.text.toStdString();
        EXPECT_GT(countTinted(img, QRect(tick + 1, 2, 20, 28), 0xc0c0c0), 0);
    }
    // Ticks only where labels are.
    EXPECT_EQ(countColour(img, QRect(0, 0, img.width(), 1), 0x0000ff), 3);

    // The item before the window decides whether the first item is labelled.
    place(bars, 5, 30, 10);   // 2 February: the month did not change
    paint();
    EXPECT_EQ(labels(&Label::item), QList<int>({28}));
    place(bars, 4, 30, 10);   // 1 February after 31 January
    paint();
    EXPECT_EQ(labels(&Label::item), QList<int>({0, 29}));
}

TEST_F(ScaleplateTest, MasterAndSubLabels)
{
    axis.setMastDateFormat("yyyy");
    const auto bars = dailyBars(QDate(2023, 12, 20), QDate(2024, 2, 10));
    place(bars, 0, bars.count(), 10);
    const QImage img = paint();
    EXPECT_EQ(labelTexts(), QStringList({"2023", "2024", "02"}));
    using K = QList<Label::enumKind>;
    EXPECT_EQ(labels(&Label::kind), K({Label::eMaster, Label::eMaster, Label::eMain}));
    const auto drawn = axis.drawnLabels();
    EXPECT_EQ(drawn[1].item, 12);
    EXPECT_GT(countTinted(img, QRect(int(drawn[1].x), 2, drawn[1].width, 28), 0xff0000), 0);
    EXPECT_EQ(countTinted(img, QRect(int(drawn[2].x), 2, drawn[2].width, 28), 0xff0000), 0);

    // Items wide enough for "dd" each get the day, except where the month
    // changes.
    ZtLineLib_Scaleplate wide;
    wide.setSubDateFormat("dd");
    axis = wide;
    place(dailyBars(QDate(2024, 1, 29), QDate(2024, 2, 4)), 0, 7, 30);
    paint();
    EXPECT_EQ(labelTexts(), QStringList({"01", "30", "31", "02", "02", "03", "04"}));
    EXPECT_EQ(labels(&Label::kind),
              K({Label::eMain, Label::eSub, Label::eSub, Label::eMain, Label::eSub, Label::eSub, Label::eSub}));
    // Too narrow for the pattern: no sub labels.
    place(dailyBars(QDate(2024, 1, 29), QDate(2024, 2, 4)), 0, 7, 8);
    paint();
    EXPECT_EQ(labelTexts(), QStringList({"01", "02"}));
}

TEST_F(ScaleplateTest, LabelsSkipTheItemsUnderThem)
{
    axis.setDateFormat("yyyyMMdd"); // every item differs
    const auto bars = dailyBars(QDate(2024, 1, 1), QDate(2024, 4, 30));
    place(bars, 0, bars.count(), 6);
    paint();
    const auto labels = axis.drawnLabels();
    ASSERT_GE(labels.size(), 3);
    for (int j = 0; j + 1 < labels.size(); ++j) {
        const int skip = (labels[j].width + 4) / 6;
        EXPECT_GT(skip, 0);
        EXPECT_EQ(labels[j + 1].item, labels[j].item + skip + 1) << j;
    }
}

TEST_F(ScaleplateTest, FixedLabelsSpreadAndSkipOverlaps)
{
    place(dailyBars(QDate(2024, 1, 1), QDate(2024, 4, 30)), 0, 100, 5);
    axis << QString("A") << QString("B") << QString("C") << QString("D") << QString("E");
    const QImage img = paint();
    const double xBase = 63; // band left 60 + 1, centre offset 2 of 5-pixel items
    const auto drawn = axis.drawnLabels();
    ASSERT_EQ(drawn.size(), 5);
    // Centred in the band below the ticks (rows 2 to 30), as QPainter centres it there.
    QImage want = blankImage(100, 30);
    QPainter p(&want);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 2, 100, 28), QStringLiteral("C"), QTextOption(Qt::AlignCenter));
    p.end();
    const QRect c(int(drawn[2].x), 0, int(drawn[2].width) + 1, 1);
    for (int y = 0; y < 30; ++y)
        EXPECT_EQ(testkit::countInk(img, c.translated(0, y)) > 0, testkit::countInk(want, QRect(0, y, 100, 1)) > 0) << y;
    EXPECT_EQ(labels(&Label::kind), QVector<Label::enumKind>(5, Label::eFixed).toList());
    for (int i = 0; i < 5; ++i) // at items 0, 25, 50, 75 and 100
        EXPECT_NEAR(drawn[i].x + drawn[i].width / 2, xBase + 25 * i * 5.0, 1.0) << i;

    // Ending at their positions, then starting there; the second would
    // overlap the first either way.
    axis.clearFixedTags();
    axis << QString("AAAA") << 0 << QString("BBBB") << 1 << QString("CCCC") << 40;
    for (int align : {-1, 1}) {
        axis.setFixedAlignment(align);
        axis.setRange(0, 100);
        paint();
        ASSERT_EQ(labelTexts(), QStringList({"AAAA", "CCCC"}));
        for (int i : {0, 1}) // the right or the left end at the item
            EXPECT_DOUBLE_EQ(labels(&Label::x)[i] + (align < 0 ? labels(&Label::width)[i] : 0), xBase + 200 * i);
    }
}

TEST_F(ScaleplateTest, CachedPictureLivesUntilTheNextSetRange)
{
    const auto bars = dailyBars(QDate(2024, 1, 28), QDate(2024, 3, 5));
    place(bars, 0, bars.count(), 10);
    EXPECT_FALSE(axis.hasCachedPicture());
    const QImage first = paint();
    EXPECT_TRUE(axis.hasCachedPicture());
    axis.setDateFormat("yyyy");
    axis.setPen(QPen(Qt::red));
    axis << QString("fixed");
    EXPECT_EQ(paint(), first);
    EXPECT_EQ(labelTexts(), QStringList({"01", "02", "03"}));

    // A copy renders its own picture; the original keeps its own.
    ZtLineLib_Scaleplate copy(axis);
    EXPECT_FALSE(copy.hasCachedPicture());
    axis.clearFixedTags();
    axis.setRange(0, bars.count());
    EXPECT_FALSE(axis.hasCachedPicture());
    EXPECT_TRUE(copy.drawnLabels().isEmpty());
    paint();
    EXPECT_EQ(labelTexts(), QStringList({"2024"}));
    testkit::painted(copy, 600, 30);
    ASSERT_EQ(copy.drawnLabels().size(), 1);
    EXPECT_EQ(copy.drawnLabels()[0].text, "fixed");
    copy = axis; // assignment drops the target's picture, not the source's
    EXPECT_FALSE(copy.hasCachedPicture());
    EXPECT_TRUE(axis.hasCachedPicture());
}

TEST_F(ScaleplateTest, TextsAndTheStripTranslation)
{
    const auto bars = dailyBars(QDate(2024, 1, 28), QDate(2024, 3, 5));
    place(bars, 0, bars.count(), 10);
    EXPECT_EQ(axis.getDataString(1), "2024-01-29");
    EXPECT_EQ(axis.getDataString(bars.count()), "");
    EXPECT_EQ(axis.getDataString(-1), "");
    axis.setTagDateFormat("MM/dd");
    EXPECT_EQ(axis.getDataString(4), "02/01");

    // Under a pane 300 pixels high: the host translates to the strip, here
    // as tall as the largest picture.
    axis.setRect(0, 0, axis.getRect().width(), 16384);
    QImage img = blankImage(600, 330);
    QPainter p(&img);
    p.translate(0, 300);
    axis.Fill(&p);
    p.end();
    const int tick = int(axis.drawnLabels().value(0).x) - 2; // without labels: off the image
    EXPECT_EQ(img.pixel(tick, 300) & 0xffffff, 0x0000ffu);
    EXPECT_EQ(countColour(img, QRect(0, 0, 600, 300), 0x0000ff), 0);
    // Wider than the largest picture (its 100 pixels of overhang included): nothing.
    axis.setRect(0, 0, 16400, 30);
    axis.setRange(0, bars.count());
    paint();
    EXPECT_TRUE(axis.drawnLabels().isEmpty());

    // Without data nothing shows; an empty list leaves an empty picture.
    axis = ZtLineLib_Scaleplate();
    place(ZtUIDataStruct::DQDDataList(), 0, 10, 10);
    EXPECT_EQ(paint(), blankImage(320, 30));
    EXPECT_TRUE(axis.drawnLabels().isEmpty());

    // Paddings wider than the rectangle make items of negative width; the
    // label walk must still end.
    place(bars, 0, bars.count(), 10);
    axis.setFixedPaddingLeft(2000);
    axis.setRange(0, bars.count());
    paint();
    EXPECT_LE(axis.drawnLabels().size(), 3);
}
