// The viewer's chart widget driven as a user drives it: mouse, wheel and
// keys, on the offscreen platform.

#ifdef ZT_WITH_VIEWER

#include <ChartData.h>
#include <ChartPane.h>
#include <ChartWidget.h>
#include <CliOptions.h>
#include <FormulaEditor.h>
#include <PaneWidget.h>
#include <TimeAxisWidget.h>
#include <ReplayFeed.h>
#include <ViewerSource.h>
#include <ViewerWindow.h>

#include "LiveUpdateDriver.h"
#include "TestKit.h"

#include <QApplication>
#include <QRegularExpression>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QWheelEvent>

using namespace ZtUIDataStruct;

namespace {

const QString kData = testkit::samplePath(QString());

class ViewerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_chart.resize(1000, 640);
        m_chart.setChartData(ViewerSource::loadBars(kData + QStringLiteral("sh600000_day.csv"),
                                                    kData + QStringLiteral("sh600000_events.csv")),
                             {ZtLineLib_Formula::eFT_VOL, ZtLineLib_Formula::eFT_MACD});
        m_chart.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_chart));
        ASSERT_GT(m_chart.shownCount(), ChartWidget::kMinCount);
    }

    static void send(PaneWidget* pane, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent e(type, pos, pane->mapToGlobal(pos), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(pane, &e);
    }
    static void move(PaneWidget* pane, QPoint pos, Qt::MouseButtons buttons = Qt::NoButton)
    {
        send(pane, QEvent::MouseMove, pos, Qt::NoButton, buttons);
    }

    void wheel(int notches)
    {
        PaneWidget* pane = m_chart.pane(0);
        const QPointF pos(pane->width() / 2.0, pane->height() / 2.0);
        QWheelEvent e(pos, pane->mapToGlobal(pos.toPoint()), QPoint(), QPoint(0, 120 * notches),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(pane, &e);
    }

    // The x of shown item rel in every pane (they share the layout).
    int xOf(int rel) const { return int(m_chart.pane(0)->formulaPane()->getX(rel)); }

    double closeAt(int i) const { return m_chart.chartData()->charted()->at(i)->getValue(eFieldClose).toDouble(); }

    ChartWidget m_chart;
};

TEST_F(ViewerTest, MouseMovePutsCrosshairOnTheBarUpdatesLegendsAndOpensPrompts)
{
    PaneWidget* price = m_chart.pane(0);
    PaneWidget* macd = m_chart.pane(2);
    const int first = m_chart.firstIndex();
    // Before any move the legends describe the last shown bar.
    EXPECT_TRUE(price->legendText().contains(QString::number(closeAt(first + m_chart.shownCount() - 1), 'f', 2)));

    move(price, QPoint(xOf(10), price->height() / 2));
    EXPECT_EQ(m_chart.crosshairIndex(), first + 10);
    const QString legend10 = price->legendText();
    EXPECT_TRUE(legend10.contains(QString::number(closeAt(first + 10), 'f', 2))) << qPrintable(legend10);
    EXPECT_TRUE(legend10.contains(QStringLiteral("MA"))) << qPrintable(legend10);
    const QString macd10 = macd->legendText();
    EXPECT_TRUE(macd10.startsWith(QStringLiteral("MACD"))) << qPrintable(macd10);

    // The cross runs through every pane; the value box sits only beside the
    // pane under the mouse, the time box under the bar.
    price->grab();
    macd->grab();
    m_chart.timeAxis()->grab();
    EXPECT_EQ(price->crosshair()->lastValueBoxes().size(), 1);
    EXPECT_TRUE(macd->crosshair()->lastValueBoxes().isEmpty());
    EXPECT_FALSE(macd->crosshair()->lastLines().isEmpty());
    const QList<ZtLineCrossCurve::TimeBox> timeBoxes = m_chart.timeAxis()->crosshair()->lastTimeBoxes();
    ASSERT_EQ(timeBoxes.size(), 1);
    const qint64 key = m_chart.chartData()->keyAt(first + 10);
    EXPECT_EQ(timeBoxes.first().text, DataTrans::getDateTimeFromULL(quint64(key)).toString(QStringLiteral("yyyy-MM-dd")));

    // The lower panes follow the same bar, wherever the mouse is.
    move(macd, QPoint(xOf(30), 5));
    EXPECT_EQ(m_chart.crosshairIndex(), first + 30);
    EXPECT_NE(macd->legendText(), macd10);
    EXPECT_TRUE(price->legendText().contains(QString::number(closeAt(first + 30), 'f', 2)));

    // In the value-axis strip right of the band the last shown bar is meant.
    move(price, QPoint(price->width() - 10, price->height() / 2));
    EXPECT_EQ(m_chart.crosshairIndex(), first + m_chart.shownCount() - 1);

    // Hovering an event icon, which got its rectangle when painted, opens its prompt.
    ASSERT_NE(price->eventBar(), nullptr);
    QRect icon;
    for (const ZtLineLib_InfoBar::LineInfo& info : price->eventBar()->lineInfos())
        if (info.type == ZtLineLib_InfoBar::eLineInfoDividend && info.width > 0)
            icon = QRect(info.x, info.y, info.width, info.height);
    ASSERT_FALSE(icon.isNull()) << "the sample window shows a dividend";
    move(price, icon.center());
    EXPECT_EQ(price->hoveredEventCount(), 1);
    move(price, QPoint(icon.center().x(), price->height() / 3));
    EXPECT_EQ(price->hoveredEventCount(), 0);
}

TEST_F(ViewerTest, DragKeysAndWheelMoveTheWindow)
{
    // Dragging right by five bars brings five earlier bars in.
    PaneWidget* price = m_chart.pane(0);
    const int before = m_chart.firstIndex();
    send(price, QEvent::MouseButtonPress, QPoint(xOf(40), 100), Qt::LeftButton, Qt::LeftButton);
    move(price, QPoint(xOf(45), 100), Qt::LeftButton);
    EXPECT_EQ(m_chart.firstIndex(), before - 5);

    // Keys move the window by a bar or to an end, never past one.
    const int count = m_chart.shownCount();
    const int last = m_chart.total() - count;
    const std::pair<Qt::Key, int> steps[] = {
        {Qt::Key_Home, 0}, {Qt::Key_Left, 0}, {Qt::Key_Right, 1}, {Qt::Key_End, last}, {Qt::Key_Right, last}};
    for (const auto& [key, first] : steps) {
        QTest::keyClick(&m_chart, key);
        EXPECT_EQ(m_chart.firstIndex(), first) << key;
        EXPECT_EQ(m_chart.shownCount(), count) << key;
    }

    // The wheel changes the count keeping the last bar.
    const int end = m_chart.firstIndex() + count;
    wheel(1);
    EXPECT_LT(m_chart.shownCount(), count);
    EXPECT_EQ(m_chart.firstIndex() + m_chart.shownCount(), end);
    wheel(-1);
    wheel(-1);
    EXPECT_GT(m_chart.shownCount(), count);
    EXPECT_EQ(m_chart.firstIndex() + m_chart.shownCount(), end);
    // Zooming stops at both ends instead of running past the data.
    wheel(40);
    EXPECT_EQ(m_chart.shownCount(), ChartWidget::kMinCount);
    for (int i = 0; i < 40; ++i)
        wheel(-1);
    EXPECT_EQ(m_chart.shownCount(), m_chart.total());
    EXPECT_EQ(m_chart.firstIndex(), 0);
}

TEST_F(ViewerTest, IndicatorPaneSwitchFormulaEditorAndIntradayChart)
{
    m_chart.setLowestPaneType(ZtLineLib_Formula::eFT_KDJ);
    EXPECT_TRUE(m_chart.pane(2)->legendText().startsWith(QStringLiteral("KDJ")));
    QTest::keyClick(&m_chart, Qt::Key_BracketRight);
    EXPECT_NE(m_chart.pane(2)->type(), ZtLineLib_Formula::eFT_KDJ);

    // A stored formula that does not compile: the pane paints the engine's
    // reason where its lines would be, not an empty band.
    const CDFormulaManage saved = ZtLineLib_Formula::m_dformulaManage;
    TagFormularContent broken = *saved.findFormular("KDJ");
    broken.texts[2] = "K:SMA(CLOSE,N,1;";
    ZtLineLib_Formula::m_dformulaManage.SetFormularContent(broken);
    m_chart.setLowestPaneType(ZtLineLib_Formula::eFT_KDJ);
    const QImage shot = m_chart.pane(2)->grab().toImage();
    ZtLineLib_Formula::m_dformulaManage = saved;
    const QColor red = getThemePen(QStringLiteral("Up")).color();
    const QRect middle(0, shot.height() / 3, shot.width(), shot.height() / 3);
    EXPECT_GT(testkit::countPixels(shot.convertToFormat(QImage::Format_RGB32), middle, [&](QRgb c) {
        return std::abs(qRed(c) - red.red()) + std::abs(qGreen(c) - red.green()) + std::abs(qBlue(c) - red.blue()) < 60;
    }), 30);

    // The formula editor marks errors and applies a formula to a pane.
    FormulaEditor editor;
    editor.nameEdit()->setText(QStringLiteral("EDITED"));
    editor.textEdit()->setPlainText(QStringLiteral("M:MA(C,N);\nX:M+FOO;"));
    EXPECT_TRUE(editor.problem().contains(QStringLiteral("unknown name 'N'")));
    editor.paramTable()->insertRow(0);
    editor.paramTable()->setItem(0, 0, new QTableWidgetItem(QStringLiteral("N")));
    editor.paramTable()->setItem(0, 1, new QTableWidgetItem(QStringLiteral("5")));
    // The error moved to line 2, column 5, and is marked there.
    EXPECT_TRUE(editor.problem().startsWith(QStringLiteral("line 2, column 5"))) << qPrintable(editor.problem());
    ASSERT_EQ(editor.textEdit()->extraSelections().size(), 1);
    EXPECT_EQ(editor.textEdit()->extraSelections().first().cursor.selectedText(), QStringLiteral("F"));
    EXPECT_FALSE(editor.apply());

    editor.textEdit()->setPlainText(QStringLiteral("M:MA(C,N);\nX:M*2,DOTLINE;"));
    EXPECT_TRUE(editor.problem().isEmpty());
    EXPECT_TRUE(editor.textEdit()->extraSelections().isEmpty());
    QObject::connect(&editor, &FormulaEditor::applied, &m_chart, &ChartWidget::setLowestPaneType);
    ASSERT_TRUE(editor.apply());
    EXPECT_TRUE(m_chart.pane(2)->legendText().startsWith(QStringLiteral("EDITED(5) M:")))
        << qPrintable(m_chart.pane(2)->legendText());
    // The new formula joins the indicators the keys step through.
    EXPECT_TRUE(ChartWidget::indicatorTypes().contains(ZtLineLib_Formula::userFormulaType(QStringLiteral("EDITED"))));
    ZtLineLib_Formula::m_dformulaManage.removeFormular("EDITED");

    // One intraday day: the whole 241 slots, which the wheel leaves alone.
    m_chart.setChartData(ViewerSource::loadMinutes(kData + QStringLiteral("sh600000_dline5.csv"), 1),
                         {ZtLineLib_Formula::eFT_DLINEVOL});
    ASSERT_EQ(m_chart.paneCount(), 2);
    EXPECT_EQ(m_chart.pane(0)->type(), ZtLineLib_Formula::eFT_DLINE);
    EXPECT_EQ(m_chart.shownCount(), 241);
    wheel(1);
    EXPECT_EQ(m_chart.shownCount(), 241);
    PaneWidget* price = m_chart.pane(0);
    const QImage img = price->grab().toImage();
    ZtLineLib_Formula* line = price->formulaPane();
    const double pc = m_chart.chartData()->charted()->at(0)->getValue(eFieldPreClose).toDouble();
    // The range lies on whole ticks around the previous close: the percent
    // tags at both ends agree, and the previous-close line reads 0.00%.
    const QVector<ZtLineLib_Reference::PaintedTag> tags = price->valueAxis()->paintedTags();
    ASSERT_GE(tags.size(), 3);
    const auto byY = [](const auto& a, const auto& b) { return a.y < b.y; };
    EXPECT_EQ(std::min_element(tags.begin(), tags.end(), byY)->percentText,
              std::max_element(tags.begin(), tags.end(), byY)->percentText);
    EXPECT_TRUE(std::any_of(tags.begin(), tags.end(), [&](const auto& t) {
        return std::abs(t.value - pc) < 1e-9 && t.percentText == QStringLiteral("0.00%"); }));
    // The low marker points at the day's lowest price, not at the lower
    // average line: no marker (text colour) below the price's low.
    double low = 1e9;
    for (int i = 0; i < 241; ++i)
        low = std::min(low, closeAt(i));
    const QRect band(QPoint(int(line->getRect().left() + 60), 0), QPoint(int(line->getRect().right() - 70) - 1, 0));
    int lowest = -1;
    for (int y = PaneWidget::kLegendHeight + 2; y < img.height(); ++y) {
        if (testkit::countColour(img, band.translated(0, y), getThemePen("Default").color().rgb()) > 0)
            lowest = y;
    }
    EXPECT_NEAR(lowest, line->getY(low), QFontMetricsF(price->font()).height());
    move(price, QPoint(xOf(60), price->height() / 2));
    EXPECT_EQ(m_chart.crosshairIndex(), 60);
    EXPECT_TRUE(price->legendText().contains(QStringLiteral("10:30"))) << qPrintable(price->legendText());
}

// A replay stepped by hand (its timer set too slow to fire): each bar comes
// as ticks that end on the file's record, the chart follows the newest bar
// until scrolled back and again after End, the status line names the last
// tick, and every pane's lines are those of a fresh computation.
TEST(ViewerReplayTest, FollowsTheNewestBarUnlessScrolledBack)
{
    const QString file = kData + QStringLiteral("sh600000_day.csv");
    const std::unique_ptr<ChartData> source = ViewerSource::loadBars(file, QString());
    // The window sets the theme tables; the other tests expect them as found.
    const testkit::ThemeColours theme;
    ViewerWindow window;
    QString error;
    ASSERT_TRUE(window.startReplay(file, 0.01, &error)) << qPrintable(error);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ChartWidget* chart = window.chart();
    const DQDDataList* list = chart->chartData()->charted();
    const int start = list->count();
    ASSERT_EQ(start, source->count() / 2);
    const auto endsAtLast = [&] { return chart->firstIndex() + chart->shownCount() == list->count(); };
    const auto play = [&](int ticks) {
        for (int t = 0; t < ticks; ++t)
            ASSERT_TRUE(window.replayStep());
    };

    play(1);
    const DQDUnionReader* played = source->charted()->at(start);
    ASSERT_EQ(list->count(), start + 1);
    EXPECT_EQ(list->at(start)->numberValue(eFieldClose, 0), played->numberValue(eFieldOpen, 0));
    EXPECT_TRUE(endsAtLast());
    play(ReplayFeed::kTicksPerBar - 1);
    for (unsigned field : {eFieldOpen, eFieldHigh, eFieldLow, eFieldClose, eFieldVolume})
        EXPECT_EQ(list->at(start)->numberValue(field, 0), played->numberValue(field, -1)) << field;

    chart->scrollBy(-20);
    const int first = chart->firstIndex();
    play(ReplayFeed::kTicksPerBar);
    EXPECT_EQ(chart->firstIndex(), first);
    EXPECT_FALSE(endsAtLast());
    chart->end();
    play(ReplayFeed::kTicksPerBar + 1);
    EXPECT_TRUE(endsAtLast());
    const QString status = window.statusBar()->findChild<QLabel*>()->text();
    const QString day = QString::number(list->at(list->count() - 1)->uniqueKey()).left(8);
    EXPECT_TRUE(status.contains(QStringLiteral("last tick %1-%2-%3 (1/4)")
                                    .arg(day.left(4), day.mid(4, 2), day.mid(6))))
        << qPrintable(status);

    for (int i = 0; i < chart->paneCount(); ++i) {
        ZtLineLib_Formula* live = chart->pane(i)->formulaPane();
        ChartPane fresh(chart->chartData(), {live->formulaType(), {}}, i == 0);
        fresh.place(QRectF(0, 0, chart->width(), 200), 4, 64);
        fresh.compute(chart->firstIndex(), chart->shownCount());
        EXPECT_EQ(liveupdate::comparePanes(*live, *fresh.pane()).toStdString(), "") << "pane " << i;
    }
}

// Margin balances are all positive: the pane keeps their own range instead
// of centring them on zero (flat along the top), and its legend reads them
// in the axis's units.
TEST(HostKitTest, MarginPaneKeepsItsRangeAndAxisUnits)
{
    CliOptions opts(QStringLiteral("test"), ChartData::optionSpecs());
    opts.parse({"--bars", kData + "sh600000_day.csv", "--feed", "margin=" + kData + "sh600000_margin.csv"});
    ChartData data = ChartData::load(opts);
    ChartPane pane(&data, {ZtLineLib_Formula::eFT_RZRQ, {}}, false);
    pane.place(QRectF(0, 0, 600, 200), 80, 64);
    pane.compute(0, data.count());
    QImage img(600, 200, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&img);
    pane.fill(&painter);
    const auto tags = pane.axis()->paintedTags();
    ASSERT_FALSE(tags.isEmpty());
    EXPECT_GT(tags.last().value, 0);
    QStringList legend;
    for (const PaneLegend::Segment& s : pane.legend(999))
        legend << s.text;
    EXPECT_TRUE(legend.join(' ').contains(QRegularExpression(QStringLiteral("融资余额:\\d+\\.\\d\\d亿"))))
        << qPrintable(legend.join(' '));
}

} // namespace

#endif
