#include "TestKit.h"

#include <tuple>

using namespace ZtUIDataStruct;

TEST(EventLoader, ReadsEveryTypeIntoItsFieldsAndNamesTheFaultsOfOthers)
{
    QTemporaryDir dir;
    const auto write = [&](const QByteArray& text) { return testkit::writeFile(dir, "events.csv", text); };
    const QString path = write(
        "\xEF\xBB\xBF" "Time,TYPE,text1,text2,level,source\r\n"
        "20230721,dividend,\"10派3.2元, 含税\",,,x\r\n"
        "\n"
        "202409131030,4,,,2,x\n"
        "20240830093015,notice,半年度报告,\"公告 \"\"A\"\"\",,x\n");
    QMap<int, DQDDataList> lists;
    QString error;
    ASSERT_TRUE(EventLoader::loadEvents(path, &lists, &error)) << error.toStdString();
    EXPECT_EQ(lists.keys(), (QList<int>{2, 4, 8}));

    // Every type keeps its time in its own field (seconds included), its
    // texts and level beside it.
    const DQDUnionReader* dividend = lists[2].at(0);
    const DQDUnionReader* level = lists[4].at(0);
    const DQDUnionReader* notice = lists[8].at(0);
    ASSERT_TRUE(dividend && level && notice);
    EXPECT_EQ(dividend->getUniqueValue(0), "20230721000000");
    const std::tuple<const DQDUnionReader*, unsigned, const char*> fields[] = {
        {dividend, eFieldDividendTime, "20230721000000"}, {dividend, eFieldLevelTime, "20230721000000"},
        {dividend, eFieldDividendText, "10派3.2元, 含税"},
        {level, eFieldLevelTime, "20240913103000"}, {level, eFieldLevel, "2"},
        {notice, eFieldNoticeTime, "20240830093015"}, {notice, eFieldNoticeText1, "半年度报告"},
        {notice, eFieldNoticeText2, "公告 \"A\""},
    };
    for (const auto& [record, field, value] : fields)
        EXPECT_EQ(record->getValue(field).toString(), QString::fromUtf8(value)) << field;

    // A header alone is a security without events.
    ASSERT_TRUE(EventLoader::loadEvents(write("type,time\n"), &lists, &error));
    EXPECT_EQ(lists[2].count() + lists[4].count() + lists[8].count(), 0);

    // A malformed file names its line and column and loads nothing.
    const std::pair<const char*, const char*> cases[] = {
        {"type,time\ndividend,20230721\nsplit,20230722\n",
         ":3: column \"type\": unknown event type: \"split\""},
        {"type,Time\nnotice,20230231\n", ":2: column \"Time\": not a date: \"20230231\""},
        {"type,time\nnotice,2023-07-21\n", ":2: column \"time\": not a date: \"2023-07-21\""},
        {"type,time,level\nlevel,20230721,high\n", ":2: column \"level\": not an integer: \"high\""},
        {"type,time\nlevel,20230721\n", ":2: a level event needs a \"level\" column"},
        {"type,time,text1\ndividend,20230721\n", ":2: expected 3 columns, found 2"},
        {"type,time,text1\ndividend,20230721,\"open\n", ":2: field 3: unbalanced quotes"},
        {"type,time,text1\ndividend,20230721,\"a\"b\n", ":2: field 3: unbalanced quotes"},
        {"time,text1\n20230721,x\n", ":1: missing column \"type\""},
        {"type,time,TIME\n", ":1: duplicate column \"TIME\""},
        {"\n  \n", ": empty file, no header row"},
    };
    for (const auto& [content, message] : cases) {
        const QString path = write(content);
        QMap<int, DQDDataList> untouched;
        untouched[2].append(DQDUnionReader());
        EXPECT_FALSE(EventLoader::loadEvents(path, &untouched, &error)) << content;
        EXPECT_EQ(error, path + message);
        EXPECT_EQ(untouched.size(), 1);
    }
    EXPECT_FALSE(EventLoader::loadEvents(write("type,time\n") + ".missing", &lists, &error));
    EXPECT_TRUE(error.contains("events") && error.contains("cannot open")) << error.toStdString();
    EXPECT_FALSE(EventLoader::loadEvents(write("type,time\n"), nullptr, &error));
}
