// Renders the sample quotes as a quote client shows them:
//   <out>/demo.png           daily candles with moving averages, volume, MACD
//   <out>/demo_intraday.png  a one-day and a five-day intraday chart
//
// Usage: ztdemo <output folder> [daily bar file] [intraday minute file]
// (ztdemo --help)

#include <ValueRange.h>
#include <ZtLineLib.h>

#include <QDate>
#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace ZtUIDataStruct;

namespace {

constexpr int kAxisWidth = 72;   // value tags right of the panes
constexpr int kLegendHeight = 20; // legend row above each pane's band
constexpr int kBandGap = 8;       // below each band, room for the bottom tag
constexpr int kTimeRowHeight = 22;

QColor theme(const char* key)
{
    return getThemePen(QLatin1String(key)).color();
}

// One pane section: the area of the section, the band the lines fill, and
// the value axis beside it.
struct Section
{
    QRect area;
    QRect band() const
    {
        return QRect(area.left(), area.top() + kLegendHeight, area.width() - kAxisWidth,
                     area.height() - kLegendHeight - kBandGap);
    }
};

void placeWindow(ZtLineLibBase& element, DQDDataList* data, int first, int count)
{
    element.setData(data);
    element.setRange(first, count);
}

// A pane fills exactly its section's band.
void placePane(ZtLineLib_Formula& pane, const Section& s, DQDDataList* data, int first, int count)
{
    pane.setRect(QRectF(s.band()));
    // Start from an empty range; the pane widens it over its lines.
    pane.SetMaxMinValue(kZtNoValue, kZtNoValueMax);
    placeWindow(pane, data, first, count);
}

// The axis spans the whole section; its paddings put its value band on the
// pane's band and its tags to the right.
void placeAxis(ZtLineLib_Reference& axis, const Section& s, DQDDataList* data, int first, int count,
               double max, double min)
{
    axis.setRect(QRectF(s.area));
    axis.setFixedPaddingTop(kLegendHeight);
    axis.setFixedPaddingBottom(kBandGap);
    axis.setFixedPaddingRight(kAxisWidth);
    axis.setMainValueOnRight(true);
    axis.SetMaxMinValue(max, min);
    placeWindow(axis, data, first, count);
}

void setRange(std::initializer_list<ZtLineLibBase*> elements, double max, double min)
{
    for (ZtLineLibBase* e : elements)
        e->SetMaxMinValue(max, min);
}

// Draws text and returns the x after it plus a gap.
int drawRun(QPainter& p, int x, int baseline, const QString& text, const QColor& colour)
{
    p.setPen(colour);
    p.drawText(x, baseline, text);
    return x + p.fontMetrics().horizontalAdvance(text) + 10;
}

// A pane's value text at one item: the title in the default colour, then
// each line's segment in that line's colour.
int drawLegend(QPainter& p, int x, int baseline, ZtLineLib_Formula& pane, int index)
{
    const QString text = pane.getDataString(index);
    const int bar = text.indexOf(QLatin1String(" |"));
    if (bar < 0)
        return x;
    if (bar > 0)
        x = drawRun(p, x, baseline, text.left(bar), theme("Default"));

    // Segments come from the lines that show a named value, in line order.
    const QStringList segments = text.mid(bar + 2).split(QStringLiteral(",&"));
    const Formulas& lines = pane.formulaLines();
    int segment = 0;
    for (int i = 0; i < lines.lineCount() && segment < segments.size(); ++i) {
        const Formulas::formulaLine* line = lines.lineAt(i);
        if (!line->showValue || line->name.isEmpty())
            continue;
        x = drawRun(p, x, baseline, segments.at(segment++), pane.getLinePenByIndex(i).color());
    }
    return x;
}

double field(const DQDDataList& list, int i, unsigned int id)
{
    const DQDUnionReader* r = list.at(i);
    return r ? r->getValue(id).toDouble() : 0.0;
}

QDateTime timeOf(const DQDDataList& list, int i)
{
    const DQDUnionReader* r = list.at(i);
    return r ? DataTrans::getDateTimeFromULL(r->getValue(eFieldDateTime).toULongLong())
             : QDateTime();
}

void drawFrame(QPainter& p, const QRect& r)
{
    p.setPen(theme("Grid2"));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

// Label and tick at the centre of window slot k, under a band.
void drawTimeLabel(QPainter& p, const ZtLineLibBase& pane, int k, int y, const QString& text,
                   Qt::Alignment align = Qt::AlignHCenter)
{
    const int x = int(pane.getX(k));
    const int w = p.fontMetrics().horizontalAdvance(text);
    int left = x - w / 2;
    if (align == Qt::AlignLeft)
        left = x + 3;
    else if (align == Qt::AlignRight)
        left = x - w - 3;
    p.setPen(theme("Grid1"));
    p.drawLine(x, y, x, y + 4);
    p.setPen(theme("ScaleplateText"));
    p.drawText(left, y + 16, text);
}

// The time axis paints at the painter's origin: translate to its strip.
void drawTimeAxis(QPainter& p, ZtLineLib_Scaleplate& axis, int top)
{
    p.save();
    p.translate(0, top);
    axis.Fill(&p);
    p.restore();
}

// ---- daily chart ------------------------------------------------------------

void renderDaily(QImage* image, DQDDataList& bars)
{
    const int shown = std::min(160, bars.count());
    const int first = bars.count() - shown;
    const int last = bars.count() - 1;
    const int w = image->width();

    QPainter p(image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    p.setFont(font);

    const Section price{QRect(0, 30, w, 420)};
    const Section volume{QRect(0, 450, w, 150)};
    const Section macd{QRect(0, 600, w, 170)};
    const int timeRow = 770;

    // Price: candles, with the moving averages of the formula engine drawn
    // over the same band. Both widen one range; the axis shows it.
    ZtLineLib_Formula candles(ZtLineLib_Formula::eFT_KLINE);
    candles.setIsMainChat(true);
    candles.setPrec(2);
    candles.setDrawMaxMinTag(true);
    ZtLineLib_Formula averages(ZtLineLib_Formula::eFT_MA);
    averages.setPrec(2);
    placePane(candles, price, &bars, first, shown);
    placePane(averages, price, &bars, first, shown);
    // A little air above the highest and below the lowest price keeps the
    // extremes and their markers off the frame.
    const double top = std::max(candles.maxReference(), averages.maxReference());
    const double bottom = std::min(candles.minReference(), averages.minReference());
    const double high = top + (top - bottom) * 0.04;
    const double low = bottom - (top - bottom) * 0.04;
    ZtLineLib_Reference priceAxis;
    priceAxis.setPrec(2);
    placeAxis(priceAxis, price, &bars, first, shown, high, low);
    setRange({&candles, &averages}, high, low);

    // Volume in units of 10,000 shares, sticks standing on zero.
    ZtLineLib_Formula vol(ZtLineLib_Formula::eFT_VOL);
    vol.m_params = {5, 10};
    vol.setDataScaling(10000);
    vol.setRect(QRectF(volume.band()));
    vol.SetMaxMinValue(kZtNoValue, 0);
    placeWindow(vol, &bars, first, shown);
    ZtLineLib_Reference volAxis;
    volAxis.setTagColorType(ZtLineLib_Reference::eTagColorVol);
    volAxis.setDataScaling(10000);
    placeAxis(volAxis, volume, &bars, first, shown, vol.maxReference(), 0);

    // MACD around a centred zero line, so that its sticks grow from the
    // middle of the band.
    ZtLineLib_Formula osc(ZtLineLib_Formula::eFT_MACD);
    osc.setPrec(3);
    placePane(osc, macd, &bars, first, shown);
    ValueRange oscRange = ValueRange::of(osc).forColourSticks();
    if (!oscRange.isValid() || !(oscRange.hi() > oscRange.lo()))
        oscRange = ValueRange(1, -1);
    oscRange.applyTo(osc);
    ZtLineLib_Reference oscAxis;
    oscAxis.setPrec(3);
    oscAxis.setTagColorType(ZtLineLib_Reference::eTagColorBySign);
    oscAxis.setBinaryStyleEnable(true);
    placeAxis(oscAxis, macd, &bars, first, shown, oscRange.hi(), oscRange.lo());

    // Header: instrument and the last bar.
    const double open = field(bars, last, eFieldOpen);
    const double close = field(bars, last, eFieldClose);
    const double pre = field(bars, last, eFieldPreClose);
    const QColor move = close > pre ? theme("Up") : close < pre ? theme("Down") : theme("Flat");
    int x = drawRun(p, 8, 20, QStringLiteral("SH600000"), theme("ScaleplateMastText"));
    x = drawRun(p, x, 20, QStringLiteral("Daily"), theme("ScaleplateSubText"));
    x = drawRun(p, x, 20, timeOf(bars, last).toString(QStringLiteral("yyyy-MM-dd")),
                theme("ScaleplateText"));
    x = drawRun(p, x + 10, 20, QStringLiteral("O %1").arg(open, 0, 'f', 2), theme("Default"));
    x = drawRun(p, x, 20, QStringLiteral("H %1").arg(field(bars, last, eFieldHigh), 0, 'f', 2),
                theme("Up"));
    x = drawRun(p, x, 20, QStringLiteral("L %1").arg(field(bars, last, eFieldLow), 0, 'f', 2),
                theme("Down"));
    x = drawRun(p, x, 20, QStringLiteral("C %1").arg(close, 0, 'f', 2), move);
    drawRun(p, x, 20, QStringLiteral("%1%2%").arg(close >= pre ? "+" : "").arg((close - pre) / pre * 100, 0, 'f', 2),
            move);

    for (ZtLineLib_Reference* axis : {&priceAxis, &volAxis, &oscAxis})
        axis->Fill(&p);
    // Dotted month lines through all three bands, under the lines.
    QList<int> monthStarts;
    for (int k = 1; k < shown; ++k) {
        if (timeOf(bars, first + k).date().month() != timeOf(bars, first + k - 1).date().month())
            monthStarts.append(k);
    }
    p.setPen(getThemePen(QStringLiteral("Grid1DotLine"), Qt::DotLine));
    for (int k : monthStarts) {
        const int mx = int(candles.getX(k));
        for (const Section* s : {&price, &volume, &macd})
            p.drawLine(mx, s->band().top(), mx, s->band().bottom());
    }
    for (ZtLineLib_Formula* pane : {&candles, &averages, &vol, &osc})
        pane->Fill(&p);
    for (const Section* s : {&price, &volume, &macd})
        drawFrame(p, s->area);

    drawLegend(p, 8, price.area.top() + 15, averages, last);
    drawLegend(p, 8, volume.area.top() + 15, vol, last);
    drawLegend(p, 8, macd.area.top() + 15, osc, last);

    // Months along the time axis, the year where it changes.
    ZtLineLib_Scaleplate timeAxis;
    timeAxis.setRect(0, 0, w - kAxisWidth, kTimeRowHeight);
    timeAxis.setMastDateFormat(QStringLiteral("yyyy"));
    placeWindow(timeAxis, &bars, first, shown);
    drawTimeAxis(p, timeAxis, timeRow);
    p.end();
}

// ---- intraday charts -----------------------------------------------------------

// One intraday chart (price with average, volume) in area; days > 1 shows
// them side by side.
void renderIntraday(QPainter& p, const QRect& area, DQDDataList& minutes, int days, bool auction)
{
    const int count = minutes.count();
    const Section price{QRect(area.left(), area.top() + 26, area.width(), 250)};
    const Section volume{QRect(area.left(), price.area.bottom() + 1, area.width(), 110)};
    const int timeRow = volume.area.bottom() + 1;

    // The first traded slot carries the previous close; the chart is centred
    // on it.
    int open = 0;
    while (open < count && (minutes.at(open)->uniqueKey() <= 0))
        ++open;
    const double preClose = field(minutes, open, eFieldPreClose);

    auto configure = [&](ZtLineLibBase& e) {
        e.setIsDLine(true);
        e.setIsMainChat(true);
        e.setShowDRFS(days);
        e.setShowJHJJ(auction);
        e.setPrec(2);
        e.setQnowData(preClose);
    };

    ZtLineLib_Formula line(ZtLineLib_Formula::eFT_DLINE);
    configure(line);
    line.m_params = {1}; // 1: the average-price line as well
    placePane(line, price, &minutes, 0, count);
    double reach = std::max(std::fabs(line.maxReference() - preClose),
                            std::fabs(line.minReference() - preClose));
    reach = std::max(reach * 1.04, preClose * 0.002);
    // Whole price ticks each way, so that the tags at both ends mirror.
    const ValueRange range = ValueRange(preClose + reach, preClose - reach).aroundPreviousClose(preClose, 2);
    range.applyTo(line);
    ZtLineLib_Reference priceAxis;
    configure(priceAxis);
    priceAxis.setStyleToDyna(true);
    priceAxis.setTagColorType(ZtLineLib_Reference::eTagColorByQnow);
    priceAxis.setBinaryStyleEnable(true);
    placeAxis(priceAxis, price, &minutes, 0, count, range.hi(), range.lo());

    ZtLineLib_Formula vol(ZtLineLib_Formula::eFT_DLINEVOL);
    configure(vol);
    vol.setDataScaling(100);
    vol.setRect(QRectF(volume.band()));
    vol.SetMaxMinValue(kZtNoValue, 0);
    placeWindow(vol, &minutes, 0, count);
    ZtLineLib_Reference volAxis;
    configure(volAxis);
    volAxis.setStyleToDyna(true);
    volAxis.setPrec(0);
    volAxis.setDataScaling(100);
    volAxis.setTagColorType(ZtLineLib_Reference::eTagColorVol);
    placeAxis(volAxis, volume, &minutes, 0, count, vol.maxReference(), 0);

    priceAxis.Fill(&p);
    volAxis.Fill(&p);
    line.Fill(&p);
    vol.Fill(&p);
    drawFrame(p, price.area);
    drawFrame(p, volume.area);

    // Header and legend: the last traded minute.
    int last = count - 1;
    while (last > 0 && minutes.at(last)->uniqueKey() <= 0)
        --last;
    const double close = field(minutes, last, eFieldClose);
    const QColor move = close > preClose ? theme("Up") : close < preClose ? theme("Down") : theme("Flat");
    const QString title = days > 1 ? QStringLiteral("%1-day intraday").arg(days) : QStringLiteral("Intraday");
    int x = drawRun(p, area.left() + 8, area.top() + 18, QStringLiteral("SH600000"),
                    theme("ScaleplateMastText"));
    x = drawRun(p, x, area.top() + 18, title, theme("ScaleplateSubText"));
    drawRun(p, x, area.top() + 18, timeOf(minutes, last).toString(QStringLiteral("yyyy-MM-dd HH:mm")),
            theme("ScaleplateText"));
    const int lb = price.area.top() + 15;
    x = drawRun(p, area.left() + 8, lb, QStringLiteral("Price %1").arg(close, 0, 'f', 2), theme("DLineLine"));
    x = drawRun(p, x, lb, QStringLiteral("Avg %1").arg(field(minutes, last, eFieldAverage), 0, 'f', 2),
                theme("DLineAvgLine"));
    drawRun(p, x, lb, QStringLiteral("%1%2%").arg(close >= preClose ? "+" : "")
                          .arg((close - preClose) / preClose * 100, 0, 'f', 2), move);
    drawRun(p, area.left() + 8, volume.area.top() + 15,
            QStringLiteral("VOL %1").arg(field(minutes, last, eFieldVolume) / 100, 0, 'f', 0),
            theme("Default"));

    // Time labels: every hour of a single day, the date of each of several.
    const int lead = (auction && days <= 1) ? 15 : 0;
    if (days <= 1) {
        const struct { int slot; const char* text; Qt::Alignment align; } marks[] = {
            {0, "09:30", Qt::AlignLeft}, {60, "10:30", Qt::AlignHCenter},
            {120, "11:30/13:00", Qt::AlignHCenter}, {180, "14:00", Qt::AlignHCenter},
            {240, "15:00", Qt::AlignRight}};
        for (const auto& m : marks)
            drawTimeLabel(p, line, lead + m.slot, timeRow, QLatin1String(m.text), m.align);
        if (auction)
            drawTimeLabel(p, line, 0, timeRow, QStringLiteral("09:15"), Qt::AlignLeft);
    } else {
        // The date at the start of each day.
        ZtLineLib_Scaleplate timeAxis;
        timeAxis.setRect(area.left(), 0, area.width() - kAxisWidth, kTimeRowHeight);
        timeAxis.setDateFormat(QStringLiteral("MM-dd ddd"));
        placeWindow(timeAxis, &minutes, 0, count);
        drawTimeAxis(p, timeAxis, timeRow);
    }
}

bool save(const QImage& image, const QString& dir, const QString& name)
{
    const QString file = QDir(dir).filePath(name);
    if (!image.save(file)) {
        std::fprintf(stderr, "ztdemo: cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

const char kUsage[] =
    "usage: ztdemo OUTPUT_FOLDER [DAILY_BARS.csv] [MINUTES.csv]\n"
    "\n"
    "Draws the sample quotes (or the files given) as a quote client shows them:\n"
    "  OUTPUT_FOLDER/demo.png           daily candles with averages, volume, MACD\n"
    "  OUTPUT_FOLDER/demo_intraday.png  a one-day and a five-day intraday chart\n"
    "The folder is created when it does not exist.\n";

// The positional arguments, or a usage error: ztdemo has no options, so a
// word starting with '-' is a mistake, not a folder to create.
bool parseArguments(const QStringList& args, QStringList* positional, int* exitCode)
{
    for (const QString& a : args) {
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::fputs(kUsage, stdout);
            *exitCode = 0;
            return false;
        }
        if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            std::fprintf(stderr, "ztdemo: unknown option %s (see ztdemo --help)\n", qPrintable(a));
            *exitCode = 2;
            return false;
        }
        positional->append(a);
    }
    if (positional->isEmpty() || positional->size() > 3) {
        std::fprintf(stderr, "ztdemo: expected an output folder and at most two quote files, got %d "
                             "arguments (see ztdemo --help)\n", int(positional->size()));
        *exitCode = 2;
        return false;
    }
    return true;
}

QImage blankImage(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(theme("Background"));
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    QStringList positional;
    int exitCode = 0;
    if (!parseArguments(args, &positional, &exitCode))
        return exitCode;
    QGuiApplication app(argc, argv);
    const QString outDir = positional.at(0);
    const QString barFile = positional.value(1, QStringLiteral(ZT_DATA_DIR "/sh600000_day.csv"));
    const QString minuteFile = positional.value(2, QStringLiteral(ZT_DATA_DIR "/sh600000_dline5.csv"));
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "ztdemo: cannot create %s\n", qPrintable(outDir));
        return 1;
    }

    QString error;
    DQDDataList bars;
    if (!QuoteLoader::loadBars(barFile, &bars, &error)) {
        std::fprintf(stderr, "ztdemo: %s\n", qPrintable(error));
        return 1;
    }
    QuoteLoader::MinuteOptions oneDay;
    oneDay.days = 1;
    QuoteLoader::MinuteOptions fiveDays;
    fiveDays.days = 5;
    DQDDataList day;
    DQDDataList week;
    if (!QuoteLoader::loadMinutes(minuteFile, &day, oneDay, &error)
        || !QuoteLoader::loadMinutes(minuteFile, &week, fiveDays, &error)) {
        std::fprintf(stderr, "ztdemo: %s\n", qPrintable(error));
        return 1;
    }

    QImage daily = blankImage(1280, 800);
    renderDaily(&daily, bars);

    QImage intraday = blankImage(1280, 840);
    {
        QPainter p(&intraday);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(12);
        p.setFont(font);
        renderIntraday(p, QRect(0, 0, 1280, 420), day, 1, false);
        renderIntraday(p, QRect(0, 420, 1280, 420), week, 5, false);
    }

    if (!save(daily, outDir, QStringLiteral("demo.png"))
        || !save(intraday, outDir, QStringLiteral("demo_intraday.png")))
        return 1;
    return 0;
}
