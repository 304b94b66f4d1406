// ztchart formulas add / remove: a user formula becomes a pane type of the
// store, and bad definitions are refused with one error line.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#ifdef ZT_ZTCHART_PATH

namespace {

struct Outcome
{
    int code = -1;
    QString out, err;
};

Outcome ztchart(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(ZT_ZTCHART_PATH), args);
    Outcome r;
    if (p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit)
        r.code = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

TEST(ZtChartUserFormula, AddUseAndRemove)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString store = dir.filePath("store.json");
    const QString text = dir.filePath("f.txt");
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("M:MA(C,N)*K;\nSTICKLINE(C>O,C,O,8,0);\n");
    f.close();
    const QString bars = QStringLiteral(ZT_SOURCE_DIR "/data/sh600000_day.csv");

    const Outcome add = ztchart({"formulas", "add", "MyAvg", "--text", text, "--param", "N=5:1:100:1",
                             "--param", "K=2", "--store", store});
    ASSERT_EQ(add.code, 0) << qPrintable(add.err);
    EXPECT_EQ(add.out.trimmed(), QStringLiteral("MyAvg(N=5,K=2)"));

    // The pane of the new name computes like the formula evaluated directly.
    const Outcome pane = ztchart({"lines", "--bars", bars, "--type", "myavg", "--params", "3",
                              "--store", store, "--no-range"});
    const Outcome eval = ztchart({"eval", "--bars", bars, "--formula", "M:MA(C,3)*2"});
    ASSERT_EQ(pane.code, 0) << qPrintable(pane.err);
    ASSERT_EQ(eval.code, 0);
    EXPECT_EQ(pane.out.split('\n').at(500).section(',', 2, 2),
              eval.out.split('\n').at(500).section(',', 2, 2));
    const Outcome legend = ztchart({"text", "--bars", bars, "--type", "MyAvg", "--index", "999",
                                "--store", store});
    EXPECT_TRUE(legend.out.startsWith(QLatin1String("MyAvg(5,2) |M:"))) << qPrintable(legend.out);

    const struct
    {
        QStringList args;
        int code;
        const char* needle;
    } refused[] = {
        {{"formulas", "add", "MyAvg", "--text", text, "--store", store}, 1, "already names"},
        {{"formulas", "add", "Other", "--text", text, "--store", store}, 1, "line 1, column 8: unknown name 'N'"},
        {{"formulas", "add", "Other", "--text", text, "--param", "N=0:1:9", "--store", store}, 2, "outside"},
        {{"formulas", "add", "Other", "--text", text, "--param", "N=x", "--store", store}, 2, "not a number"},
        {{"formulas", "add", "1st", "--text", text, "--store", store}, 2, "no name"},
        {{"formulas", "add", "Other", "--text", dir.filePath("none"), "--store", store}, 1, "cannot read"},
        {{"formulas", "add", "Other", "--text", text}, 2, "--store"},
        {{"formulas", "remove", "MACD", "--store", store}, 1, "built-in"},
    };
    for (const auto& r : refused) {
        const Outcome run = ztchart(r.args);
        EXPECT_EQ(run.code, r.code) << qPrintable(r.args.join(' ')) << qPrintable(run.err);
        EXPECT_TRUE(run.err.contains(QLatin1String(r.needle))) << qPrintable(run.err);
    }

    ASSERT_EQ(ztchart({"formulas", "remove", "MYAVG", "--store", store}).code, 0);
    EXPECT_EQ(ztchart({"lines", "--bars", bars, "--type", "MyAvg", "--store", store}).code, 2);
}

#endif
