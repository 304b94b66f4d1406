// The formula store: its classic definitions, writes, the host's handlers,
// the link to every evaluator, and its file.

#include "FormulaEngineTestSupport.h"
#include "TestKit.h"

#include <sys/resource.h>

#include <csignal>

using namespace FormulaTest;

namespace {

// The file a store writes: two stores hold the same definitions when they
// write the same file.
QByteArray fileOf(const CDFormulaManage& store)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("store.json"));
    EXPECT_TRUE(store.saveToFile(path.toStdString()));
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The last value of the first line of formula, evaluated on 1, 2, 3, … 10;
// no value when the evaluation fails.
float lastValue(ModuleFormular& engine, const std::string& formula)
{
    CapturedResult r;
    std::string name = formula;
    CInputData input = makeInput(closesOnly({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    if (!engine.ComputeDayFormular(name, input, 1, 0, &r) || r.captured.empty())
        return kFormulaNoValue;
    return r.captured.front().d[0].back();
}

TagFormularContent userMa(float n)
{
    return definition("USER_MA", "M:MA(C,N);", {{"N", n}});
}

} // namespace

TEST(FormulaEngineStore, WritesAddReplaceAndRefuseBadRecords)
{
    // It starts with the classic definitions (pinned by the indicator tests).
    CDFormulaManage store;
    const size_t before = store.contents().size();
    std::string unknown = "NOPE", ma = "MA";
    EXPECT_EQ(store.GetFormularContent(unknown), nullptr);
    EXPECT_EQ(store.GetFormularContent(ma)->texts[4], "trend"); // the group a host sorts by

    TagFormularContent c = userMa(3);
    ASSERT_TRUE(store.SetFormularContent(c));
    EXPECT_EQ(store.contents().size(), before + 1);
    c.params[2][0] = 4;
    ASSERT_TRUE(store.SetFormularContent(c));
    EXPECT_EQ(store.contents().size(), before + 1);
    EXPECT_EQ(store.findFormular("USER_MA")->params[2][0], 4.0f);

    // No name, or a parameter count outside 0 … 16: refused, and a stored
    // definition of that name stays as it was.
    const std::pair<std::string, int> refused[] = {{"", 1}, {"USER_MA", 17}, {"NEG", -1}};
    for (const auto& [name, count] : refused) {
        TagFormularContent bad = definition(name, "M:MA(C,N);");
        bad.paramCount = count;
        EXPECT_FALSE(store.SetFormularContent(bad)) << name << " " << count;
    }
    EXPECT_EQ(store.contents().size(), before + 1);
    EXPECT_EQ(store.findFormular("USER_MA")->params[2][0], 4.0f);

    EXPECT_TRUE(store.removeFormular("USER_MA"));
    EXPECT_FALSE(store.removeFormular("USER_MA"));
    EXPECT_EQ(store.contents().size(), before);
}

TEST(FormulaEngineStore, EvaluatorsFollowWritesAndTheMostRecentlyUsedStore)
{
    ModuleFormular engine;
    EXPECT_EQ(lastValue(engine, "USER_MA"), kFormulaNoValue) << "not stored yet";
    {
        CDFormulaManage a;
        TagFormularContent c = userMa(4);
        ASSERT_TRUE(a.SetFormularContent(c));
        EXPECT_FLOAT_EQ(lastValue(engine, "USER_MA"), 8.5f); // (7 + 8 + 9 + 10)/4
        c.params[2][0] = 2;
        ASSERT_TRUE(a.SetFormularContent(c));
        EXPECT_FLOAT_EQ(lastValue(engine, "USER_MA"), 9.5f);
        // A write through the store's own pointer counts as well, also to the
        // classic definitions: MA1 with 2 instead of 5.
        std::string name = "MA";
        a.GetFormularContent(name)->params[2][0] = 2;
        EXPECT_FLOAT_EQ(lastValue(engine, "MA"), 9.5f);
        name = "USER_MA";
        a.GetFormularContent(name)->params[2][0] = 3;
        EXPECT_FLOAT_EQ(lastValue(engine, "USER_MA"), 9.0f);
        {
            CDFormulaManage b;
            TagFormularContent five = userMa(5);
            ASSERT_TRUE(b.SetFormularContent(five));
            EXPECT_FLOAT_EQ(lastValue(engine, "USER_MA"), 8.0f); // b, N = 5
            // A copy holds the same definitions and does not take over.
            CDFormulaManage copyOfA(a);
            EXPECT_FLOAT_EQ(lastValue(engine, "USER_MA"), 8.0f);
            a.GetFormularContent(name);
            EXPECT_FLOAT_EQ(lastValue(engine, "USER_MA"), 9.0f); // a, N = 3
            // Assignment puts b's definitions into copyOfA and makes it current.
            copyOfA = b;
            EXPECT_FLOAT_EQ(lastValue(engine, "USER_MA"), 8.0f);
            // A name only an older store holds is still found.
            TagFormularContent onlyA = definition("ONLY_A", "X:C*2;");
            ASSERT_TRUE(a.SetFormularContent(onlyA));
            b.removeFormular("USER_MA");
            EXPECT_FLOAT_EQ(lastValue(engine, "ONLY_A"), 20.0f);
        }
        // b and the copy are gone: a is the store again.
        EXPECT_FLOAT_EQ(lastValue(engine, "USER_MA"), 9.0f);
    }
    // No live store holds it any more: the evaluator's own copy serves, and an
    // evaluator that never saw it knows nothing of it.
    EXPECT_FLOAT_EQ(lastValue(engine, "USER_MA"), 9.0f);
    ModuleFormular fresh;
    EXPECT_EQ(lastValue(fresh, "USER_MA"), kFormulaNoValue);
    EXPECT_FLOAT_EQ(lastValue(fresh, "MACD"), lastValue(engine, "MACD"));
}

TEST(FormulaEngineStore, HandlersOfTheHost)
{
    CDFormulaManage store;
    std::string name = "MACD";
    int shownWith = -1;
    CDFormulaManage::setManageHandler([&](CDFormulaManage& s, int mode) {
        EXPECT_EQ(&s, &store);
        shownWith = mode;
        return 7;
    });
    // The editor changes MACD's SHORT to 5 in the store it is handed.
    CDFormulaManage::setModifyHandler([](CDFormulaManage& s, std::string& n) {
        TagFormularContent c = *s.findFormular(n);
        c.params[2][0] = 5;
        return s.SetFormularContent(c);
    });
    EXPECT_EQ(store.FShowFormularManage(3), 7);
    EXPECT_EQ(shownWith, 3);
    EXPECT_TRUE(store.ModifyFormular(name));
    EXPECT_EQ(store.findFormular("MACD")->params[2][0], 5.0f);
    // A pane's windows reach the same handlers, naming the pane's formula.
    using F = ZtLineLib_Formula;
    CDFormulaManage::setManageHandler([&](CDFormulaManage&, int mode) { return shownWith = mode, 1; });
    std::string asked;
    CDFormulaManage::setModifyHandler([&](CDFormulaManage&, std::string& n) { return asked = n, true; });
    EXPECT_TRUE(F(F::eFT_KDJ).setThisCFormulaParamsForCWin());
    EXPECT_EQ(asked, "KDJ");
    F::showFormulaWindow();
    EXPECT_EQ(shownWith, 0);

    // Without handlers nothing is shown or changed.
    CDFormulaManage::setManageHandler(nullptr);
    CDFormulaManage::setModifyHandler(nullptr);
    EXPECT_FALSE(store.ModifyFormular(name));
    EXPECT_EQ(store.FShowFormularManage(0), CDFormulaManage::kNoManageWindow);
    EXPECT_FALSE(F::setCFormulaParamsForCWin(QStringLiteral("MACD")));
}

TEST(FormulaEngineStore, FileRoundTrip)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("formulas.json").toStdString();

    CDFormulaManage store;
    TagFormularContent user = definition("自定义", "M:MA(C,N);{均线}", {{"N", 7}});
    user.texts[1] = "a \"quoted\" description\nover two lines";
    user.texts[5] = "owner";
    user.numbers[0] = 1;
    user.numbers[5] = std::numeric_limits<int>::max(); // the largest number a file may hold
    user.params[0][0] = 1;
    user.params[3][0] = 5;
    user.params[4][0] = 0.5f;
    user.params[1][0] = std::numeric_limits<float>::quiet_NaN();
    user.paramCount = 16; // as many as a file may hold
    for (int j = 1; j < 16; ++j)
        user.paramNames[j] = "P" + std::to_string(j);
    ASSERT_TRUE(store.SetFormularContent(user));
    std::string error;
    ASSERT_TRUE(store.saveToFile(path, &error)) << error;

    CDFormulaManage loaded;
    loaded.removeFormular("MACD");
    ASSERT_NE(fileOf(loaded), fileOf(store));
    ASSERT_TRUE(loaded.loadFromFile(path, &error)) << error;
    EXPECT_EQ(fileOf(loaded), fileOf(store));
    // The file itself holds the values, not only what reads back the same.
    const TagFormularContent* back = loaded.findFormular("自定义");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(std::make_tuple(back->texts[1], back->numbers[5], back->params[0][0], back->params[4][0]),
              std::make_tuple(user.texts[1], user.numbers[5], 1.0f, 0.5f));
    EXPECT_TRUE(std::isnan(back->params[1][0]));

    EXPECT_FALSE(store.saveToFile(dir.filePath("no/such/dir/f.json").toStdString(), &error));
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;

    // Saving again replaces the file; a write refused at once or part way
    // (no room left) fails and leaves the file whole.
    ASSERT_TRUE(loaded.saveToFile(path, &error)) << error;
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const auto onTooLarge = std::signal(SIGXFSZ, SIG_IGN);
    for (rlim_t room : {rlim_t(0), rlim_t(16)}) {
        const rlimit full{room, limit.rlim_max};
        setrlimit(RLIMIT_FSIZE, &full);
        const bool saved = store.saveToFile(path, &error);
        setrlimit(RLIMIT_FSIZE, &limit);
        EXPECT_FALSE(saved) << room;
        CDFormulaManage again;
        ASSERT_TRUE(again.loadFromFile(path, &error)) << error;
        EXPECT_EQ(fileOf(again), fileOf(store));
    }
    std::signal(SIGXFSZ, onTooLarge);
}

TEST(FormulaEngineStore, BadFilesLeaveTheStoreAsItWas)
{
    QTemporaryDir dir;
    const QByteArray valid = fileOf(CDFormulaManage());

    QByteArray duplicated = valid;
    duplicated.replace("\"AB\"", "\"MA\"");
    QByteArray seventeen = valid;
    seventeen.replace("\"params\": [", "\"params\": [" + QByteArray(
        "{\"name\":\"X\",\"values\":[0,0,0,0,0]},").repeated(17));
    // Label, content, a fragment of the reason.
    const std::tuple<const char*, QByteArray, const char*> bad[] = {
        {"truncated", valid.left(valid.size() / 2), "not valid JSON"},
        {"other document", "{\"format\":\"Other\",\"version\":1,\"formulas\":[]}", "not a formula store"},
        {"newer version", "{\"format\":\"ZtFormulaStore\",\"version\":2,\"formulas\":[]}", "not a formula store"},
        {"five texts", "{\"format\":\"ZtFormulaStore\",\"version\":1,\"formulas\":[{\"texts\":[\"A\",\"\",\"\",\"\",\"\"],\"numbers\":[0,0,0,0,0,0],\"params\":[]}]}", "six texts"},
        {"empty name", "{\"format\":\"ZtFormulaStore\",\"version\":1,\"formulas\":[{\"texts\":[\"\",\"\",\"\",\"\",\"\",\"\"],\"numbers\":[0,0,0,0,0,0],\"params\":[]}]}", "empty name"},
        {"duplicate", duplicated, "repeats the name"},
        {"seventeen parameters", seventeen, "more than 16"},
        {"text as value", "{\"format\":\"ZtFormulaStore\",\"version\":1,\"formulas\":[{\"texts\":[\"A\",\"\",\"\",\"\",\"\",\"\"],\"numbers\":[0,0,0,0,0,0],\"params\":[{\"name\":\"N\",\"values\":[\"x\",0,0,0,0]}]}]}", "not a number"},
        {"a byte over the size bound", QByteArray(16 * 1024 * 1024 + 1, ' '), "too large"},
    };
    CDFormulaManage store;
    TagFormularContent user = userMa(3);
    ASSERT_TRUE(store.SetFormularContent(user));
    const QByteArray before = fileOf(store);
    for (const auto& [label, content, reason] : bad) {
        SCOPED_TRACE(label);
        const QString path = testkit::writeFile(dir, QString::fromLatin1(label) + ".json", content);
        std::string error;
        EXPECT_FALSE(store.loadFromFile(path.toStdString(), &error));
        EXPECT_NE(error.find(reason), std::string::npos) << error;
        EXPECT_EQ(fileOf(store), before);
    }
    std::string error;
    EXPECT_FALSE(store.loadFromFile(dir.filePath("missing.json").toStdString(), &error));
    EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
    EXPECT_FALSE(store.loadFromFile(dir.path().toStdString(), &error)); // a directory
    EXPECT_EQ(fileOf(store), before);
    ModuleFormular engine;
    EXPECT_FLOAT_EQ(lastValue(engine, "USER_MA"), 9.0f);
}
