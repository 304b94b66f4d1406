// Runs the ztchart program as a user would: exit codes, the CSV it prints,
// the single error line of a failure and the pictures it writes.

#include "TestKit.h"

#include <QColor>
#include <QDir>
#include <QImageReader>
#include <QProcess>
#include <QStringList>

#include <cmath>
#include <tuple>
#include <vector>

#ifdef ZT_ZTCHART_PATH

namespace {

struct CliRun
{
    int code = -1;
    QString out;
    QString err;
    QStringList outLines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
    QStringList errLines() const { return err.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
};

CliRun runProgram(const QString& program, const QStringList& args, const QString& workDir = QString(),
                  const QString& outputFile = QString())
{
    QProcess p;
    p.setWorkingDirectory(workDir);
    if (!outputFile.isEmpty())
        p.setStandardOutputFile(outputFile);
    p.start(program, args);
    CliRun r;
    if (!p.waitForFinished(60000))
        return r; // the QProcess destructor kills the hung program
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

CliRun ztchart(const QStringList& args) { return runProgram(QStringLiteral(ZT_ZTCHART_PATH), args); }

QString sample(const char* name) { return testkit::samplePath(QLatin1String(name)); }

// A failure prints exactly one line, on standard error, and nothing else.
void expectOneErrorLine(const CliRun& r, int code, const QString& needle)
{
    EXPECT_EQ(r.code, code) << qPrintable(r.err);
    EXPECT_TRUE(r.out.isEmpty()) << qPrintable(r.out);
    ASSERT_EQ(r.errLines().size(), 1) << qPrintable(r.err);
    EXPECT_TRUE(r.err.startsWith(QLatin1String("ztchart: "))) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains(needle)) << qPrintable(r.err) << " lacks " << qPrintable(needle);
}

// A command that must fail, its exit code and a text of its error line.
using Refusal = std::tuple<QStringList, int, const char*>;

} // namespace

// What a successful command prints: its number of lines (-1: any) and lines
// that equal, or with a trailing "…" start with, the given text.
TEST(ZtChartCliTest, LinesAndTextPrintTheirRows)
{
    const QString bars = sample("sh600000_day.csv");
    const QString minutes = sample("sh600000_dline5.csv");
    const std::tuple<QStringList, int, std::vector<std::pair<int, const char*>>> cases[] = {
        // Before five bars exist the average has no value: an empty cell.
        // Values print as the pane holds them, in single precision.
        {{"lines", "--bars", bars, "--type", "vol", "--params", "5,10"}, 1 + 1000 + 1,
         {{0, "index,key,VOLUME,MA5,MA10"}, {1, "0,20200807000000,44271968,,"},
          {5, "4,20200813000000,25798476,45197252,"}, {1001, "# range,…"}}},
        // A window prints only its rows, and its range covers only them: the
        // least volume and the largest average (cut to whole units) of the window.
        {{"lines", "--bars", bars, "--type", "VOL", "--first", "10", "--count", "5"}, 1 + 5 + 1,
         {{1, "10,…"}, {5, "14,20200827000000,30462492,35614564,46547912"}, {6, "# range,30462492,56254662"}}},
        {{"lines", "--bars", bars, "--type", "MACD", "--no-range"}, 1 + 1000,
         {{0, "index,key,DIFF,DEA,MACD"}, {1000, "999,20240919000000,…"}}},
        // One day of minutes: 241 slots, the price and average lines from the
        // first. With the auction band 15 slots lead, and every pane but the
        // price and intraday volume panes starts at 09:30.
        {{"lines", "--minutes", minutes, "--days", "1", "--type", "DLINE"}, 1 + 241 + 1,
         {{0, "index,key,line0,line1"}, {1, "0,20240920093000,8.…"}, {241, "240,20240920150000,8.…"}}},
        {{"lines", "--minutes", minutes, "--days", "1", "--auction", "--type", "CLOSE"}, 1 + 256 + 1,
         {{15, "14,20240920092900,"}, {16, "15,20240920093000,8.52"}}},
        {{"lines", "--bars", bars, "--type", "ydcm", "--capital", sample("sh600000_capital.csv")}, -1,
         {{0, "line,price,volume"}}},
        // Bar 999 against bar 998: DIFF -0.0634 from -0.0768, DEA -0.0543 from
        // -0.0520, MACD -0.0183 from -0.0496; as segments each has its colour.
        {{"text", "--bars", bars, "--type", "MACD", "--index", "999"}, 1,
         {{0, "MACD(12,26,9) |DIFF:-0.06↑,&DEA:-0.05↓,&MACD:-0.02↑"}}},
        {{"text", "--bars", bars, "--type", "MACD", "--index", "999", "--segments"}, 4,
         {{0, "MACD(12,26,9)\t#d8d8d8"}, {1, "DIFF:-0.06↑\t#ffffff"}, {2, "DEA:-0.05↓\t#ffd700"},
          {3, "MACD:-0.02↑\t#ff4dff"}}},
        {{"formulas", "list"}, 13, {{1, "MACD(SHORT=12,LONG=26,MID=9)\t…"}}},
        // The sample's closes and their changes; REF has nothing before the first bar.
        {{"eval", "--bars", bars, "--formula", "C1:CLOSE; D:CLOSE-REF(CLOSE,N)", "--param", "N=1"}, 1 + 1000,
         {{0, "index,key,C1,D"}, {1, "0,20200807000000,10.43,"}, {2, "1,20200810000000,10.52,0.09"},
          {501, "500,20220829000000,7.15,-0.07"}, {1000, "999,20240919000000,8.52,0.2"}}},
    };
    for (const auto& [args, lineCount, lines] : cases) {
        const CliRun r = ztchart(args);
        ASSERT_EQ(r.code, 0) << qPrintable(args.join(' ')) << qPrintable(r.err);
        const QStringList out = r.outLines();
        if (lineCount >= 0)
            EXPECT_EQ(out.size(), lineCount) << qPrintable(args.join(' '));
        for (const auto& [index, text] : lines) {
            QString want = QString::fromUtf8(text);
            const bool prefix = want.endsWith(QChar(0x2026));
            want.remove(QChar(0x2026));
            const QString got = out.value(index);
            EXPECT_TRUE(prefix ? got.startsWith(want) : got == want) << qPrintable(got) << " vs " << text;
        }
    }
}

TEST(ZtChartCliTest, BadInputGivesOneErrorLineAndExitCode)
{
    QTemporaryDir dir;
    const QString bars = sample("sh600000_day.csv");
    const QString png = dir.filePath("a.png");
    const QString minutes = sample("sh600000_dline5.csv");
    const QByteArray header = "date,open,high,low,close,volume\n20240102,1,2,0.5,1.5,100\n";
    const QString notNumber = testkit::writeFile(dir, "bad.csv", header + "20240103,1,2,0.5,abc,100\n");
    const QString inverted = testkit::writeFile(dir, "inverted.csv", header + "20240103,1,0.5,2,1.5,100\n");
    const Refusal cases[] = {
        {{"lines", "--bars", dir.filePath("missing.csv"), "--type", "MACD"}, 1, "missing.csv"},
        {{"lines", "--bars", notNumber, "--type", "MACD"}, 1, "bad.csv:3: column \"close\""},
        // A row no market prints is refused where the log axis would have
        // drawn a blank chart.
        {{"render", "--bars", inverted, "--log", "-o", png}, 1, "inverted.csv:3: column \"high\": below the low 2"},
        {{"lines", "--bars", bars, "--type", "MACD", "--first", "1000"}, 1, "past the data"},
        {{"lines", "--bars", bars, "--type", "MACD", "--first", "990", "--count", "11"}, 1, "past the data"},
        {{"lines", "--bars", bars, "--type", "NOPE"}, 2, "NOPE"},
        {{"lines", "--bars", bars}, 2, "--type"},
        {{"lines", "--bars", bars, "--type", "MACD", "--colour", "x"}, 2, "--colour"},
        {{"text", "--bars", bars, "--type", "MACD", "--index", "1000"}, 1, "past the data"},
        {{"render", "--bars", bars, "--size", "12x", "-o", png}, 2, "--size"},
        {{"render", "--bars", bars, "-o", dir.filePath("a.gif")}, 2, ".png"},
        {{"render", "--bars", bars, "--crosshair", "5", "-o", png}, 1, "outside the shown window"},
        {{"render", "--bars", bars, "-o", dir.filePath("no/such/a.png")}, 1, "no folder"},
        {{"frobnicate"}, 2, "frobnicate"},
        {{"render", "--bars", bars, "--panes", "kline:vol", "-o", png}, 2, "cannot overlay"},
        {{"render", "--bars", bars, "--panes", "kline,macd(6,13", "-o", png}, 2, "parentheses"},
        {{"render", "--bars", bars, "--panes", "kline,chip", "-o", png}, 2, "--capital"},
        {{"render", "--bars", bars, "--feed", "gossip=x.csv", "-o", png}, 2, "--feed"},
        // Parameters keep to the bounds `formulas set` keeps to.
        {{"render", "--bars", bars, "--panes", "kline,macd(0,0,0)", "-o", png}, 2, "MACD: SHORT = 0 is outside 2"},
        {{"render", "--bars", bars, "--panes", "kline:MA(-5)", "-o", png}, 2, "MA: M1 = -5 is outside"},
        {{"lines", "--bars", bars, "--type", "vol", "--params", "0"}, 2, "VOL: average period 0"},
        {{"lines", "--bars", bars, "--type", "YDCM"}, 2, "--capital"},
        // Five days and a single-day band do not go together.
        {{"lines", "--minutes", minutes, "--auction", "--type", "DLINE"}, 2, "--days 1"},
        {{"eval", "--bars", bars, "--formula", "X:MA(CLOSE,5"}, 1, "line 1, column"},
        {{"formulas", "set", "MACD", "5,10"}, 2, "--store"},
        {{"formulas", "show", "NOSUCH"}, 1, "NOSUCH"},
        {{"lines", "--bars", bars, "--type", "MACD", "--store", dir.filePath("nope.json")}, 1, "no such formula store"},
    };
    for (const auto& [args, code, needle] : cases)
        expectOneErrorLine(ztchart(args), code, QLatin1String(needle));
    EXPECT_FALSE(QFile::exists(dir.filePath("a.png")));
    // Rows the disk did not take are a failure, not an answer.
    expectOneErrorLine(runProgram(QStringLiteral(ZT_ZTCHART_PATH), {"lines", "--bars", bars, "--type", "MACD"},
                                  QString(), QStringLiteral("/dev/full")),
                       1, QStringLiteral("cannot write the output"));
}

TEST(ZtChartCliTest, RenderWritesPicturesOfTheAskedSizeAndWindow)
{
    QTemporaryDir dir;
    const QString bars = sample("sh600000_day.csv");
    const QString png = dir.filePath("chart.png");
    const CliRun r = ztchart({"render", "--bars", bars, "--panes", "kline:MA,vol,macd,kdj",
                           "--events", sample("sh600000_events.csv"), "--crosshair", "990", "--max-min",
                           "--size", "900x640", "-o", png});
    ASSERT_EQ(r.code, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(QImage(png).size(), QSize(900, 640));

    // The light theme paints its own background; JPEG by the file name.
    const QString jpg = dir.filePath("intraday.jpg");
    const CliRun l = ztchart({"render", "--minutes", sample("sh600000_dline5.csv"), "--days", "1", "--auction",
                           "--theme", "light", "--size", "640x400", "-o", jpg});
    ASSERT_EQ(l.code, 0) << qPrintable(l.err);
    EXPECT_EQ(QImageReader(jpg).format(), QByteArray("jpeg")); // read from the contents
    const QImage light(jpg);
    ASSERT_EQ(light.size(), QSize(640, 400));
    const QColor expected(ZtUIDataStruct::PubCacheCustom::lightTheme().value(QStringLiteral("Background")).value(0));
    const QColor corner = light.pixelColor(light.width() - 2, light.height() - 2);
    EXPECT_LE(std::abs(corner.red() - expected.red()) + std::abs(corner.green() - expected.green())
                  + std::abs(corner.blue() - expected.blue()),
              24);

    // The chip column needs the float shares and works with them. Its key
    // figures stand under the profile, beside the volume pane; on the light
    // face the profile is a grey silhouette, not a block of text colour.
    const CliRun c = ztchart({"render", "--bars", bars, "--capital",
                           sample("sh600000_capital.csv"), "--panes", "kline,chip,vol", "--theme", "light", "-o", png});
    ASSERT_EQ(c.code, 0) << qPrintable(c.err);
    const QImage chips(png);
    EXPECT_EQ(chips.size(), QSize(1200, 800));
    const QRgb text = QColor(ZtUIDataStruct::PubCacheCustom::lightTheme().value(QStringLiteral("Default")).value(0)).rgb();
    EXPECT_GT(testkit::countColour(chips, QRect(966, 600, 220, 190), text), 20);
    EXPECT_LT(testkit::countColour(chips, QRect(966, 60, 220, 400), text), 20);

    // A data-service pane without data says what it lacks; tags wider than
    // the usual padding ("-8092.34万") widen it instead of being cut at the
    // picture's left edge.
    const CliRun flow = ztchart({"render", "--bars", bars, "--minutes", sample("sh600000_m1.csv"), "--panes",
                                 "kline,zjlx,rzrq", "-o", png});
    ASSERT_EQ(flow.code, 0) << qPrintable(flow.err);
    EXPECT_TRUE(flow.err.contains(QLatin1String("no margin data: give --feed margin=FILE"))) << qPrintable(flow.err);
    EXPECT_FALSE(flow.err.contains(QLatin1String("fund-flow")));
    const QImage picture(png);
    EXPECT_EQ(testkit::countColour(picture, QRect(1, 0, 1, picture.height()), picture.pixel(0, 0)), picture.height());

    // The default window ends at the last bar and holds more bars on a
    // wider picture.
    auto shownItems = [&](const QString& size) {
        const CliRun r = ztchart({"render", "--bars", bars, "--panes", "kline:MA+BOLL,vol,macd(6,13,5)", "--size",
                                  size, "-o", png});
        EXPECT_EQ(r.code, 0) << qPrintable(r.err);
        const QString items = r.err.section(QLatin1String("items "), 1).section(QLatin1Char(')'), 0, 0);
        return qMakePair(items.section(QLatin1Char('-'), 0, 0).toInt(), items.section(QLatin1Char('-'), 1).toInt());
    };
    const auto narrow = shownItems(QStringLiteral("600x400"));
    const auto wide = shownItems(QStringLiteral("1600x400"));
    EXPECT_EQ(std::make_pair(narrow.second, wide.second), std::make_pair(999, 999));
    EXPECT_LT(wide.first, narrow.first);
    EXPECT_GT(narrow.first, 0);
}

TEST(ZtChartCliTest, EveryProgramAnswersHelpAndRejectsUnknownOptions)
{
    QTemporaryDir dir;
    const QList<QPair<QString, QString>> programs = {
        {QStringLiteral("ztchart"), QStringLiteral(ZT_ZTCHART_PATH)},
#ifdef ZT_ZTVIEWER_PATH
        {QStringLiteral("ztviewer"), QStringLiteral(ZT_ZTVIEWER_PATH)},
#endif
#ifdef ZT_ZTDEMO_PATH
        {QStringLiteral("ztdemo"), QStringLiteral(ZT_ZTDEMO_PATH)},
#endif
    };
    for (const auto& p : programs) {
        for (const char* help : {"--help", "-h"}) {
            const CliRun r = runProgram(p.second, {QLatin1String(help)}, dir.path());
            EXPECT_EQ(r.code, 0) << qPrintable(p.first) << qPrintable(r.err);
            EXPECT_TRUE(r.out.startsWith(QStringLiteral("usage: ") + p.first)) << qPrintable(r.out);
        }
        const CliRun bad = runProgram(p.second, {QStringLiteral("--frobnicate")}, dir.path());
        EXPECT_EQ(bad.code, 2) << qPrintable(p.first);
        EXPECT_TRUE(bad.out.isEmpty()) << qPrintable(bad.out);
        EXPECT_EQ(bad.errLines(), QStringList(p.first + QStringLiteral(": unknown option --frobnicate (see ")
                                              + p.first + QStringLiteral(" --help)")));
    }
#ifdef ZT_ZTVIEWER_PATH
    const CliRun store = runProgram(QStringLiteral(ZT_ZTVIEWER_PATH), {"--store", "none.json"}, dir.path());
    EXPECT_EQ(store.code, 1);
    EXPECT_EQ(store.errLines(), QStringList("ztviewer: none.json: no such formula store"));
#endif
    // Nothing was written, least of all a folder named after an option.
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

// The store's parameters and user formulas reach the panes, which compute
// like the formula evaluated with the same numbers; bad definitions are refused.
TEST(ZtChartCliTest, FormulaStoreSetsAddsAndRemoves)
{
    QTemporaryDir dir;
    const QString store = dir.filePath("store.json");
    const QString bars = sample("sh600000_day.csv");
    const auto expectPaneLikeEval = [&](const QStringList& pane, const char* formula, int row) {
        const CliRun p = ztchart(QStringList{"lines", "--bars", bars, "--store", store, "--no-range"} + pane);
        const CliRun e = ztchart({"eval", "--bars", bars, "--formula", formula});
        ASSERT_EQ(p.code, 0) << qPrintable(p.err);
        ASSERT_EQ(e.code, 0) << qPrintable(e.err);
        EXPECT_EQ(p.outLines().value(row).section(',', 2, 2), e.outLines().value(row).section(',', 2, 2)) << formula;
    };
    const CliRun set = ztchart({"formulas", "set", "MACD", "5,10", "--store", store});
    ASSERT_EQ(set.code, 0) << qPrintable(set.err);
    const CliRun show = ztchart({"formulas", "show", "macd", "--store", store});
    EXPECT_TRUE(show.out.contains(QLatin1String("SHORT,5,2,200,12,1\n"))) << qPrintable(show.out);
    EXPECT_TRUE(show.out.contains(QLatin1String("LONG,10,")));
    expectOneErrorLine(ztchart({"formulas", "set", "MACD", "500", "--store", store}), 2, QStringLiteral("outside"));
    expectPaneLikeEval({"--type", "MACD"}, "DIFF:EMA(CLOSE,5)-EMA(CLOSE,10)", 900);

    const QString text = testkit::writeFile(dir, "f.txt", "M:MA(C,N)*K;\nSTICKLINE(C>O,C,O,8,0);\n");
    const CliRun add = ztchart({"formulas", "add", "MyAvg", "--text", text, "--param", "N=5:1:100:1",
                                "--param", "K=2", "--store", store});
    ASSERT_EQ(add.code, 0) << qPrintable(add.err);
    EXPECT_EQ(add.out.trimmed(), QStringLiteral("MyAvg(N=5,K=2)"));
    expectPaneLikeEval({"--type", "myavg", "--params", "3"}, "M:MA(C,3)*2", 500);
    const CliRun legend = ztchart({"text", "--bars", bars, "--type", "MyAvg", "--index", "999", "--store", store});
    EXPECT_TRUE(legend.out.startsWith(QLatin1String("MyAvg(5,2) |M:"))) << qPrintable(legend.out);
    const Refusal refused[] = {
        {{"formulas", "add", "MyAvg", "--text", text, "--store", store}, 1, "already names"},
        {{"formulas", "add", "Other", "--text", text, "--store", store}, 1, "line 1, column 8: unknown name 'N'"},
        {{"formulas", "add", "Other", "--text", text, "--param", "N=0:1:9", "--store", store}, 2, "outside"},
        {{"formulas", "add", "Other", "--text", text, "--param", "N=x", "--store", store}, 2, "not a number"},
        {{"formulas", "add", "1st", "--text", text, "--store", store}, 2, "no name"},
        {{"formulas", "add", "Other", "--text", dir.filePath("none"), "--store", store}, 1, "cannot read"},
        {{"formulas", "add", "Other", "--text", text}, 2, "--store"},
        {{"formulas", "remove", "MACD", "--store", store}, 1, "built-in"},
    };
    for (const auto& [args, code, needle] : refused)
        expectOneErrorLine(ztchart(args), code, QLatin1String(needle));
    ASSERT_EQ(ztchart({"formulas", "remove", "MYAVG", "--store", store}).code, 0);
    EXPECT_EQ(ztchart({"lines", "--bars", bars, "--type", "MyAvg", "--store", store}).code, 2);

    // A stored formula that does not compile fails every pane command with
    // the engine's line and column, instead of drawing an empty pane.
    QFile file(store);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray json = file.readAll();
    ASSERT_TRUE(json.contains("EMA(DIFF,MID)"));
    testkit::writeFile(dir, "store.json", json.replace("EMA(DIFF,MID)", "EMA(DIFF,MID"));
    const QString png = dir.filePath("p.png");
    for (const QStringList& args :
         {QStringList{"lines", "--bars", bars, "--type", "MACD", "--store", store},
          QStringList{"text", "--bars", bars, "--type", "MACD", "--index", "5", "--store", store},
          QStringList{"render", "--bars", bars, "--panes", "kline,macd", "--store", store, "-o", png}})
        expectOneErrorLine(ztchart(args), 1, QStringLiteral("MACD: formula error: line 2, column"));
    EXPECT_FALSE(QFile::exists(png));
}

#else

TEST(ZtChartCliTest, NeedsTheProgram)
{
    GTEST_SKIP() << "ztchart is not built (ZT_BUILD_APPS off)";
}

#endif
