#include "TestKit.h"

#include <tuple>

using namespace ZtUIDataStruct;

namespace {

qint64 keyOf(const DQDDataList& list, int i)
{
    return list.at(i)->getUniqueValue(0).toLongLong();
}

double field(const DQDDataList& list, int i, unsigned int id)
{
    return list.at(i)->getValue(id).toDouble();
}

struct Field
{
    int index;
    unsigned id;
    double value;
};

// Each listed field of the list has its value.
void expectFields(const DQDDataList& list, std::initializer_list<Field> fields)
{
    for (const Field& f : fields)
        EXPECT_DOUBLE_EQ(field(list, f.index, f.id), f.value) << "record " << f.index << " field " << f.id;
}

using testkit::writeFile;

} // namespace

TEST(QuoteLoader, MinutesFoldIntoSessionSlotsWithAnOpeningSlot)
{
    // 243 points a day: 09:25, 09:30 … 11:30, 13:00 … 15:00.
    DQDDataList minutes;
    QString error;
    ASSERT_TRUE(QuoteLoader::loadMinutes(testkit::samplePath("sh600000_dline5.csv"), &minutes, {}, &error))
        << qPrintable(error);
    ASSERT_EQ(minutes.count(), 5 * 241);
    for (int i = 0; i < minutes.count(); ++i)
        ASSERT_GT(keyOf(minutes, i), 0) << i;
    // Slots 09:30 … 11:30 and 13:01 … 15:00, then the next day.
    for (auto [i, key] : {std::pair{0, 20240912093000LL}, {120, 20240912113000LL}, {121, 20240912130100LL},
                          {240, 20240912150000LL}, {241, 20240913093000LL}})
        EXPECT_EQ(keyOf(minutes, i), key) << i;
    // 09:25 (8.21, 225400) merged with 09:30 (8.22, 1085100).
    // The previous close of the first day is the file's first open.
    expectFields(minutes, {{0, eFieldOpen, 8.21}, {0, eFieldClose, 8.22}, {0, eFieldVolume, 225400.0 + 1085100.0},
                           {0, eFieldPreClose, 8.21}, {0, eFieldAverage, (1782399.0 + 8778619.0) / 1310500.0}});
    // 11:30 (8.40, no volume) merged with 13:00 (8.42, 724600).
    expectFields(minutes, {{120, eFieldOpen, 8.40}, {120, eFieldClose, 8.42}, {120, eFieldVolume, 724600.0}});
    // Day two's previous close is day one's last close.
    EXPECT_DOUBLE_EQ(field(minutes, 241, eFieldPreClose), field(minutes, 240, eFieldClose));
    EXPECT_NEAR(field(minutes, 250, eFieldChange),
                field(minutes, 250, eFieldClose) - field(minutes, 240, eFieldClose), 1e-9);

    // Single day with the auction band: 15 + 241 slots, 09:25 in its own slot.
    DQDDataList day;
    ASSERT_TRUE(QuoteLoader::loadMinutes(testkit::samplePath("sh600000_dline5.csv"), &day, {1, true}, &error));
    ASSERT_EQ(day.count(), 256);
    // Slots before the 09:25 print are part of the band: keyed by their
    // time, flat at the day's first price, without volume.
    // 09:25 has its own slot; after it the auction price is held, without volume.
    for (int i : {0, 9, 10, 14, 15})
        EXPECT_EQ(keyOf(day, i), 20240920091500LL + i * 100) << i; // 09:15 … 09:30
    expectFields(day, {{9, eFieldClose, field(day, 10, eFieldOpen)}, {9, eFieldVolume, 0.0},
                       {14, eFieldClose, field(day, 10, eFieldClose)}, {14, eFieldVolume, 0.0}});
    EXPECT_LT(field(day, 15, eFieldVolume), field(minutes, 4 * 241, eFieldVolume));
    EXPECT_DOUBLE_EQ(field(day, 15, eFieldPreClose), field(minutes, 4 * 241 - 1, eFieldClose));

    // One-minute bars get an opening slot.
    DQDDataList m1;
    ASSERT_TRUE(QuoteLoader::loadMinutes(testkit::samplePath("sh600000_m1.csv"), &m1, {}, &error));
    ASSERT_EQ(m1.count(), 5 * 241);
    // 202409100931,8.38,8.42,8.36,8.42,497200,4173936
    EXPECT_EQ(keyOf(m1, 0), 20240910093000LL);
    expectFields(m1, {{0, eFieldHigh, 8.38}, {0, eFieldClose, 8.38}, {0, eFieldVolume, 0.0},
                      {1, eFieldAverage, 4173936.0 / 497200.0}, {1, eFieldHigh, 8.42}});

    DQDDataList last;
    ASSERT_TRUE(QuoteLoader::loadMinutes(testkit::samplePath("sh600000_m1.csv"), &last, {2, false}, &error));
    ASSERT_EQ(last.count(), 2 * 241);
    EXPECT_EQ(keyOf(last, 0), keyOf(m1, 3 * 241));
    // The dropped day still supplies the previous close.
    EXPECT_DOUBLE_EQ(field(last, 0, eFieldPreClose), field(m1, 3 * 241 - 1, eFieldClose));

    // No auction print in this file: the band is flat at the opening price.
    ASSERT_TRUE(QuoteLoader::loadMinutes(testkit::samplePath("sh600000_m1.csv"), &last, {1, true}, &error));
    ASSERT_EQ(last.count(), 256);
    EXPECT_EQ(keyOf(last, 0), 20240918091500LL);
    EXPECT_DOUBLE_EQ(field(last, 0, eFieldClose), field(last, 15, eFieldOpen));
    EXPECT_EQ(keyOf(last, 255), 20240918150000LL);
}

TEST(QuoteLoader, GapsCarryThePriceAndTheUntradedRestIsEmpty)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("partial.csv"),
                                   "time,open,high,low,close,volume\n"
                                   "202401040915,9,9,9,9,50\n"
                                   "202401040930,9,9,9,9,100\n"
                                   "202401041131,9,9.3,9,9.3,20\n"
                                   "202401041459,9.5,9.5,9.5,9.5,100\n"
                                   "\n"
                                   "202401050930,10,10.5,9.8,10.2,100\n"
                                   "202401050931,10.2,10.4,10.1,10.4,300\n"
                                   "202401050933,10.4,10.6,10.3,10.6,200\n");
    DQDDataList list;
    QString error;
    ASSERT_TRUE(QuoteLoader::loadMinutes(path, &list, {}, &error)) << qPrintable(error);
    ASSERT_EQ(list.count(), 2 * 241);
    // Day one: the gap after 09:30 repeats 9.0 without volume.
    // Day two: 09:32 carries 09:31's close; the average is the mean of closes.
    EXPECT_EQ(keyOf(list, 243), 20240105093200LL);
    EXPECT_EQ(keyOf(list, 240), 20240104150000LL); // 15:00 carries 14:59
    // The first auction minute, 09:15, joins the opening slot; 11:31 is
    // still the morning's last slot.
    expectFields(list, {{0, eFieldVolume, 150.0}, {100, eFieldClose, 9.0}, {100, eFieldVolume, 0.0},
                        {120, eFieldClose, 9.3}, {120, eFieldVolume, 20.0}, {243, eFieldOpen, 10.4},
                        {243, eFieldAverage, (10.2 + 10.4 + 10.4) / 3}, {244, eFieldPreClose, 9.5}});
    // After the last traded minute: placeholders with a negative key.
    EXPECT_LT(keyOf(list, 245), 0);
    EXPECT_LT(keyOf(list, 481), 0);
    EXPECT_FALSE(list.at(481)->hasValue(eFieldClose));
    // A gap carries the average the file gave, not a mean of closes.
    const QString given = writeFile(dir, QStringLiteral("given.csv"), "time,open,high,low,close,volume,average\n"
                                    "202401040930,9,9,9,9,100,8.5\n202401040933,9,9,9,9,100,8.6\n");
    ASSERT_TRUE(QuoteLoader::loadMinutes(given, &list, {}, &error)) << qPrintable(error);
    expectFields(list, {{1, eFieldAverage, 8.5}, {2, eFieldAverage, 8.5}});
    // A row without its average (0) passes the mean of closes on to the gap after it.
    const QString unpriced = writeFile(dir, QStringLiteral("unpriced.csv"), "time,open,high,low,close,volume,average\n"
                                       "202401040930,9,9,9,9,100,8.5\n202401040931,10,10,10,10,100,0\n"
                                       "202401040933,9,9,9,9,100,8.6\n");
    ASSERT_TRUE(QuoteLoader::loadMinutes(unpriced, &list, {}, &error)) << qPrintable(error);
    expectFields(list, {{2, eFieldAverage, (9.0 + 10 + 10) / 3}});

    // Header names in any case and order, unknown columns ignored, an
    // average column taken as given, seconds accepted in a time column.
    const QString custom = writeFile(dir, QStringLiteral("custom.csv"),
                                     "\xEF\xBB\xBF"
                                     "Close,Volume,note,Average,Low,High,Open,DATE,Time\r\n"
                                     "5,10,x,4.5,4,6,4.2,20240104,093005\r\n");
    ASSERT_TRUE(QuoteLoader::loadBars(custom, &list, &error)) << qPrintable(error);
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(keyOf(list, 0), 20240104093005LL);
    expectFields(list, {{0, eFieldAverage, 4.5}, {0, eFieldOpen, 4.2}});
    EXPECT_FALSE(list.at(0)->hasValue(eFieldAmount));
}

TEST(QuoteLoader, ReadsTheFilesPeopleHave)
{
    // The same two minutes as tools and quote clients write them.
    // Name, contents and whether an amount column is there.
    const std::tuple<const char*, QByteArray, bool> cases[] = {
        {"iso.csv",
         "date,open,high,low,close,volume,amount\n"
         "2024-09-10 09:31,8.38,8.42,8.36,8.42,497200,4173936\n"
         "2024-09-10 09:32:00,8.41,8.44,8.41,8.43,277500,2337466\n",
         true},
        {"frame.csv", // a data frame written with its index, behind a byte-order mark
         "\xEF\xBB\xBF,Date,Open,High,Low,Close,Volume\n"
         "0,2024-09-10T09:31:00,8.38,8.42,8.36,8.42,497200\n"
         "1,2024-09-10T09:32:00,8.41,8.44,8.41,8.43,277500\n",
         false},
        {"semicolon.csv", // a time column, decimal commas
         "Date;Time;Open;High;Low;Close;Volume\r\n"
         "2024/9/10;09:31;8,38;8,42;8,36;8,42;497200\r\n"
         "2024/9/10;09:32;8,41;8,44;8,41;8,43;277500\r\n",
         false},
        {"client.txt", // GBK, tabs, a title line and a closing note
         "600000 \xCA\xBE\xC0\xFD 1\xB7\xD6\xD6\xD3\xCF\xDF\n"
         "\xC8\xD5\xC6\xDA\t\xCA\xB1\xBC\xE4\t\xBF\xAA\xC5\xCC\t\xD7\xEE\xB8\xDF\t\xD7\xEE\xB5\xCD\t"
         "\xCA\xD5\xC5\xCC\t\xB3\xC9\xBD\xBB\xC1\xBF\t\xB3\xC9\xBD\xBB\xB6\xEE\n"
         "2024/09/10\t0931\t8.38\t8.42\t8.36\t8.42\t497200\t4173936\n"
         "2024/09/10\t0932\t8.41\t8.44\t8.41\t8.43\t277500\t2337466\n"
         "\xCA\xFD\xBE\xDD\xC0\xB4\xD4\xB4: x\n",
         true},
        {"utf8.csv",
         "日期,开盘,最高,最低,收盘,成交量,成交额\n"
         "\"20240910093100\",8.38,8.42,8.36,8.42,497200,4173936\n"
         "\"202409100932\",8.41,8.44,8.41,8.43,277500,2337466\n",
         true},
    };
    QTemporaryDir dir;
    for (const auto& [name, content, amount] : cases) {
        const QString path = writeFile(dir, QLatin1String(name), content);
        DQDDataList list;
        QString error;
        ASSERT_TRUE(QuoteLoader::loadBars(path, &list, &error)) << name << ": " << qPrintable(error);
        ASSERT_EQ(list.count(), 2) << name;
        EXPECT_EQ(keyOf(list, 0), 20240910093100LL) << name;
        EXPECT_EQ(keyOf(list, 1), 20240910093200LL) << name;
        expectFields(list, {{0, eFieldLow, 8.36}, {1, eFieldClose, 8.43}, {1, eFieldVolume, 277500.0}});
        EXPECT_EQ(list.at(1)->hasValue(eFieldAmount), amount) << name;
    }

    // A day without trade exported as zeros becomes the usual flat day at
    // the previous close; its zero average counts as none.
    const QString suspended = writeFile(dir, QStringLiteral("suspended.csv"),
                                        "date,open,high,low,close,volume,average\n"
                                        "20240104,10,11,9.5,10.5,100,10.2\n"
                                        "20240105,0,0,0,0,0,0\n"
                                        "20240108,10.4,10.6,10.1,10.2,100,10.3\n");
    DQDDataList list;
    QString error;
    ASSERT_TRUE(QuoteLoader::loadBars(suspended, &list, &error)) << qPrintable(error);
    for (unsigned id : {eFieldOpen, eFieldHigh, eFieldLow, eFieldClose, eFieldAverage, eFieldPreClose})
        EXPECT_DOUBLE_EQ(field(list, 1, id), 10.5) << id;
    EXPECT_DOUBLE_EQ(field(list, 1, eFieldVolume), 0.0);
    EXPECT_DOUBLE_EQ(field(list, 2, eFieldPreClose), 10.5);

    // The sample's daily bars carry the previous close, change and average.
    const DQDDataList bars = testkit::sampleBars();
    ASSERT_EQ(bars.count(), 1000);
    // 20200807,10.51,10.53,10.36,10.43,44271966,461730432 then 20200810 … close 10.52
    EXPECT_EQ(keyOf(bars, 0), 20200807000000LL);
    expectFields(bars, {{0, eFieldPreClose, 10.51}, {0, eFieldLow, 10.36}, {0, eFieldAverage, 461730432.0 / 44271966.0},
                        {0, eFieldAmount, 461730432.0}, {1, eFieldPreClose, 10.43}});
    EXPECT_NEAR(field(bars, 1, eFieldChange), 0.09, 1e-9);
    EXPECT_EQ(keyOf(bars, 999), 20240919000000LL);

    QMap<qint64, double> shares;
    ASSERT_TRUE(QuoteLoader::loadFloatShares(testkit::samplePath("sh600000_capital.csv"), &shares, &error));
    EXPECT_EQ(shares.size(), 41);
    EXPECT_DOUBLE_EQ(shares.value(20140320000000LL), 14922777132.0);
    // The largest quantity a file may give is still one.
    EXPECT_TRUE(QuoteLoader::loadFloatShares(writeFile(dir, QStringLiteral("most.csv"), "date,float_shares\n20240104,1e14\n"),
                                             &shares, &error)) << qPrintable(error);
}

TEST(QuoteLoader, MalformedFilesNameFileLineAndColumnAndLoadNothing)
{
    QTemporaryDir dir;
    const QByteArray header = "date,open,high,low,close,volume,amount\n";
    const QByteArray good = "20240104,1,2,0.5,1.5,100,150\n";
    // Contents and the message after "<path>".
    const std::pair<QByteArray, const char*> cases[] = {
        {header + good + "20240105,1,2,0.5,abc,100,150\n", ":3: column \"close\": not a number: \"abc\""},
        {"date,open,high,low,volume\n" + good,
         ":1: missing column \"close\" (columns understood: date/datetime/trade_date/日期, time/时间, open/开盘/开盘价"},
        {header + "20241332,1,2,0.5,1.5,100,150\n",
         ":2: column \"date\": not a date (yyyymmdd, yyyymmddHHMM[ss], or yyyy-mm-dd or "
         "yyyy/mm/dd with an optional HH:MM[:SS]): \"20241332\""},
        {header + "2024-02-30,1,2,0.5,1.5,100,150\n", ":2: column \"date\": not a date"},
        {"date,time,open,high,low,close,volume\n2024-01-04,9h31,1,2,0.5,1.5,100\n",
         ":2: column \"time\": not a time of day"},
        {header + "2024\xff\xff" "0104,1,2,0.5,1.5,100,150\n", ": neither UTF-8 nor GBK text"},
        {header + good + "\n20240105,1,2,0.5,1.5,100\n", ":4: expected 7 columns, found 6"},
        {header + good + good, ":3: column \"date\": not later than the previous row: \"20240104\""},
        {"", ": empty file, no header row"},
        {header, ":1: no data rows after the header"},
        {header + "20240104,1,2,0.5,inf,100,150\n", ":2: column \"close\": not a number: \"inf\""},
        // Rows no market prints.
        {header + "20240104,1,2,0,1.5,100,150\n", ":2: column \"low\": not a positive price: \"0\""},
        {header + "20240104,1,1e300,0.5,1.5,100,150\n",
         ":2: column \"high\": above 1e9, not a price: \"1e300\""},
        {header + "20240104,1,0.5,2,1.5,100,150\n", ":2: column \"high\": below the low 2: \"0.5\""},
        {header + "20240104,1,2,0.5,2.5,100,150\n",
         ":2: column \"close\": outside the low … high 0.5 … 2: \"2.5\""},
        {header + "20240104,1,2,0.5,1.5,-100,150\n", ":2: column \"volume\": negative: \"-100\""},
        {header + "20240104,1,2,0.5,1.5,100,1e300\n",
         ":2: column \"amount\": above 1e14, not a quantity: \"1e300\""},
        {header + good + "20240105,0,0,0,0,100,150\n",
         ":3: column \"volume\": traded while every price is 0: \"100\""},
        {header + "20240104,0,0,0,0,0,0\n20240105,1,2,0.5,1.5,100,150\n",
         ":2: column \"close\": every price 0 and no earlier close to keep: \"0\""},
    };
    for (const auto& [content, expected] : cases) {
        const QString path = writeFile(dir, QStringLiteral("bad.csv"), content);
        DQDDataList list;
        list.append(testkit::record(7));
        QString error;
        EXPECT_FALSE(QuoteLoader::loadBars(path, &list, &error)) << expected;
        EXPECT_TRUE(error.startsWith(path + QString::fromUtf8(expected))) << qPrintable(error);
        ASSERT_EQ(list.count(), 1);
        EXPECT_EQ(keyOf(list, 0), 7);
    }

    QString error;
    DQDDataList list;
    const QString none = dir.filePath(QStringLiteral("none.csv"));
    EXPECT_FALSE(QuoteLoader::loadBars(none, &list, &error));
    EXPECT_TRUE(error.startsWith(none + QStringLiteral(": cannot open"))) << qPrintable(error);
    EXPECT_FALSE(QuoteLoader::loadBars(dir.path(), &list, &error));
    EXPECT_TRUE(error.startsWith(dir.path() + QStringLiteral(": cannot"))) << qPrintable(error);

    // Minutes need a time of day inside the session: none, a minute before it, one after.
    for (const char* time : {"20240104", "202401040914", "202401041501"}) {
        const QString path = writeFile(dir, QStringLiteral("m.csv"), header + time + ",1,2,0.5,1.5,100,150\n");
        EXPECT_FALSE(QuoteLoader::loadMinutes(path, &list, {}, &error));
        const char* why = qstrlen(time) == 8 ? "no time of day" : "outside trading hours 09:15-15:00";
        EXPECT_EQ(error, path + ":2: column \"date\": " + why + ": \"" + time + '"');
    }
    EXPECT_EQ(list.count(), 0);
}
