// The indicator pane's model: line model, computation state and catalogue,
// over hand-made lists.

#include "TestKit.h"

#include <QLocale>

#include <cmath>
#include <cstring>
#include <random>
#include <stdexcept>

using namespace ZtUIDataStruct;
using namespace indicatorpane;
using Line = Formulas::formulaLine;
using F = ZtLineLib_Formula;

// ---- line model ------------------------------------------------------------

TEST(PaneLineModel, DefaultPenAndCopiesOwnTheirLines)
{
    testkit::ThemeColours theme{{"Default", "#808080"}};
    EXPECT_EQ(Line().pen.color(), QColor(0x80, 0x80, 0x80));
    // Copies (assigned or built) own their lines; a moved-from container is empty.
    Formulas a;
    a.addLine(Line(QStringLiteral("DIFF"), eSMOOTHLINE, QPen(Qt::red), true));
    Formulas copy;
    ASSERT_EQ((copy = a).lineCount(), 1);
    copy.lineAt(0)->name = QStringLiteral("changed");
    EXPECT_EQ(a.lineAt(0)->name, QStringLiteral("DIFF"));
    Formulas moved(std::move(copy));
    EXPECT_EQ(copy.lineCount(), 0);
    EXPECT_EQ(moved.lineAt(0)->name, QStringLiteral("changed"));
    // The cursor stops at the last line.
    a.addLine(Line());
    EXPECT_TRUE(a.moveLast() && a.moveFirst() && a.moveNext());
    EXPECT_FALSE(a.moveNext() || a.moveTo(2));
    EXPECT_EQ(a.currentLine(), a.lineAt(1));
}

TEST(PaneLineModel, EngineLineConversion)
{
    testkit::ThemeColours theme;
    theme.clear();
    QStringList list;
    for (int i = 1; i <= 7; ++i)
        list.append(QColor(0, 0, i).name());
    PubCacheCustom::mDefultColor.insert(QStringLiteral("FormulasList"), list);

    LineData d;
    d.name = "DIFF";
    d.data1 = {1.0f, 2.0f};
    d.data2 = {3.0f};
    d.colorCodes = {0x0000FF, 0x00FF00};
    d.lineWidth = 2;
    d.stripColor = StripColor{true, 1, 2, 3};
    Line red;
    Pane::createByTagDay(&red, &d);
    EXPECT_EQ(std::make_tuple(red.name, red.values, red.values2, red.values3, red.colors),
              std::make_tuple(QStringLiteral("DIFF"), Series({1, 2}), Series({3}), QList<float>(),
                              QList<int>({0x0000FF, 0x00FF00})));
    EXPECT_EQ(std::make_pair(red.lineWidth, red.stripColor.color3), std::make_pair(2, 3));
    EXPECT_TRUE(red.rect.isNull()); // no rectangle given

    // Basic colours (0x00BBGGRR) take their entry of the list, others stay.
    for (auto [code, colour] : {std::pair{0x0000FF, QColor(0, 0, 5)}, {0x00FFFF, QColor(0, 0, 2)},
                                {0x00FF00, QColor(0, 0, 4)}, {0x000080, QColor(0x80, 0, 0)}}) {
        d.color = code;
        Pane::createByTagDay(&red, &d);
        EXPECT_EQ(red.pen.color(), colour) << code;
    }
    d.rect = Rect{true, 10, 20, 30, 40};
    Line dark;
    dark.pen.setWidth(3);
    Pane::createByTagDay(&dark, &d);
    EXPECT_EQ(dark.pen.width(), 3);
    EXPECT_EQ(dark.rect, QRect(QPoint(20, 10), QPoint(40, 30)));

    d.drawType = eDRAWTEXT;
    d.text = "buy";
    Line text;
    Pane::createByTagDay(&text, &d);
    EXPECT_EQ(std::make_pair(text.name, text.text), std::make_pair(QString(), QStringLiteral("buy")));
    Pane::createByTagDay(nullptr, &d);
}

TEST(PaneLineModel, CheckValueRejectsOnlyTheAllOnesPattern)
{
    const quint32 bits[] = {0x7FFFFFFFu, 0xFFFFFFFFu}; // a quiet NaN, all ones
    float nan, ones;
    std::memcpy(&nan, &bits[0], sizeof nan);
    std::memcpy(&ones, &bits[1], sizeof ones);
    EXPECT_EQ(QList<bool>({FormulaResult::CheckValue(0.0f), FormulaResult::CheckValue(kMarker),
                           FormulaResult::CheckValue(nan), FormulaResult::CheckValue(ones)}),
              QList<bool>({true, true, true, false}));
}

// ---- computation state -----------------------------------------------------

TEST(PaneState, TruncToPrecCutsLikeTheDecimalText)
{
    EXPECT_EQ(Formulas::truncToPrec(12.9, -3), 12.0);

    // The reference: cut the shortest plain decimal text.
    auto cutText = [](double v, int prec) {
        QString t = QString::number(v, 'f', QLocale::FloatingPointShortest);
        const int dot = t.indexOf(QLatin1Char('.'));
        if (dot >= 0)
            t.truncate(prec < 1 ? dot : dot + 1 + prec);
        return t.toDouble();
    };
    std::mt19937_64 rng(20240910);
    std::uniform_int_distribution<int> precs(0, 8);
    std::uniform_real_distribution<double> mant(-1.0, 1.0);
    std::uniform_int_distribution<int> exps(-8, 17);
    std::uniform_int_distribution<qint64> digits(-10000000000LL, 10000000000LL);
    int mismatches = 0;
    for (int i = 0; i < 200000; ++i) {
        const int p = precs(rng);
        double v;
        switch (i % 4) {
        case 0: v = mant(rng) * std::pow(10.0, exps(rng)); break;
        case 1: v = double(digits(rng)) / std::pow(10.0, p); break;     // on a cut boundary
        case 2: v = double(digits(rng)) / std::pow(10.0, p + 1); break; // one digit past it
        default: v = std::round(mant(rng) * 1e16); break;               // large whole numbers
        }
        if (Formulas::truncToPrec(v, p) != cutText(v, p) && ++mismatches < 5)
            ADD_FAILURE() << QString::number(v, 'g', 17).toStdString() << " prec " << p;
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(PaneState, AddValueAlignsAndWidensOnlyOverTheShownWindow)
{
    DQDDataList list = volumeList({0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    Formulas f;
    f.setup(&list, false, 3, 6, 4, 2);
    const int k = f.addLine(Line());
    EXPECT_EQ(f.lineAt(k)->values, Series({kMarker, kMarker, kMarker}));

    // Indices 3 … 5 lie before the window; only 6 … 9 widen the range.
    for (double v : {-50.0, 500.0, 7.0, 1.23456, 2.5, 1e16, 3.999})
        f.addValue(k, v);
    // Value k belongs to record k; 1e16 has no value.
    EXPECT_EQ(f.lineAt(k)->values, Series({kMarker, kMarker, kMarker, -50, 500, 7, 1.23456f, 2.5, kMarker, 3.999f}));
    EXPECT_EQ(std::make_pair(f.minValue(), f.maxValue()), std::make_pair(1.23, 3.99));

    // The first value in the window sets both ends.
    f.setup(&list, false, 0, 0, 10, 2);
    const int j = f.addLine(Line());
    f.addValue(j, std::nan(""));
    EXPECT_EQ(f.maxValue(), kZtNoValue);
    f.addValue(j, 4.5678);
    EXPECT_EQ(std::make_pair(f.minValue(), f.maxValue()), std::make_pair(4.56, 4.56));
    f.addValue(j, 123456789012.0); // a volume whose shortest text needs an exponent
    EXPECT_EQ(f.maxValue(), 123456789012.0);

    // A value before the first computed index is an error.
    f.setup(&list, false, 3, 0, 10, 2);
    const int e = f.addLine(Line());
    f.setIndex(2);
    try {
        f.addValue(e, 1.0);
        ADD_FAILURE() << "no index error";
    } catch (const std::runtime_error& err) {
        EXPECT_EQ(QString::fromUtf8(err.what()), QStringLiteral("指标计算是发生Index错误。"));
    }
    f.setIndex(3);
    f.addValue(99, 1.0); // no such line
    EXPECT_EQ(f.lineAt(e)->values.size(), 3);
}

TEST(PaneState, PensAndReads)
{
    testkit::ThemeColours theme;
    theme.clear();
    PubCacheCustom::mDefultColor.insert(
        QStringLiteral("FormulasList"),
        {QStringLiteral("#100000"), QStringLiteral("#200000"), QStringLiteral("#300000")});
    DQDDataList list = volumeList({10, 20, kZtNoValue, 40, 50, 60});
    Formulas f;
    f.setup(&list, false, 0, 0, 6, 2);
    // The fourth pen wraps round.
    for (const char* colour : {"#100000", "#200000", "#300000", "#100000"})
        EXPECT_EQ(f.nextListPen().color(), QColor(colour));
    EXPECT_EQ(f.getValue(eFieldVolume, 1), 20.0);
    EXPECT_EQ(f.getValue(eFieldVolume, 6), kZtNoValue);
}

// ---- catalogue -------------------------------------------------------------

TEST(PaneCatalogue, TitlesParametersAndPermissions)
{
    // Hosts store the type codes: the codes are part of the interface.
    const std::pair<int, const char*> titles[] = {{F::eFT_VOL, "VOL"}, {F::eFT_DLINEVOL, "VOL"}, {1006, "融资融券"}};
    for (const auto& t : titles)
        EXPECT_EQ(F::helpFormulaTypeToQString(F::enumFormulaType(t.first)), QString::fromUtf8(t.second)) << t.first;
    for (int t : {-1, 0, 1, 17, 2000, 90001})
        EXPECT_TRUE(F::helpFormulaTypeToQString(F::enumFormulaType(t)).isEmpty()) << t;
    // The newest user formula's code is the last one that names a formula.
    const F::enumFormulaType newest = F::userFormulaType(QStringLiteral("CATALOGUE_NEWEST"));
    EXPECT_TRUE(F::isUserFormulaType(newest));
    EXPECT_FALSE(F::isUserFormulaType(F::enumFormulaType(newest + 1)));

    Pane pane(F::eFT_MACD);
    pane.m_params = {12, 0, 26, 9, std::nanf("")};
    const QList<float> p = pane.getThisCFormulaParams();
    ASSERT_EQ(p.size(), 4);
    EXPECT_EQ(p.mid(0, 3), Series({12, 26, 9}));
    EXPECT_TRUE(std::isnan(p.at(3)));

    for (int t : {-1, 0, 999, 1000, 2000, 4999, 5000, 90001}) {
        pane.setFormulaType(F::enumFormulaType(t));
        const bool fixed = t >= 1000 && t <= 4999;
        EXPECT_EQ(std::make_tuple(pane.canChangeFormula(), pane.canSetParm(), pane.needSpecialValue()),
                  std::make_tuple(!fixed, !fixed, t == 1000 ? 2 : 0)) << t;
    }
}

TEST(PaneCatalogue, StoredDefinitionsRoundTripAndBadOnesAreRefused)
{
    const CDFormulaManage saved = F::m_dformulaManage;
    F::CFormulaClass c = F::getCFormulaParams(F::eFT_MACD);
    c.text3 = QStringLiteral("DIFF:EMA(CLOSE,SHORT)-EMA(CLOSE,LONG);");
    c.paramList1 = Series({2, 10, 2});
    c.paramValues = Series({7, 26, 9});
    c.paramList5 = Series({3, 3, 3});
    c.number2 = 42;
    ASSERT_TRUE(F::setCFormulaParams(c));

    const F::CFormulaClass back = F::getCFormulaParams(F::eFT_MACD);
    EXPECT_EQ(std::make_tuple(back.text2, back.text3, back.paramNames, back.number2),
              std::make_tuple(c.text2, c.text3, c.paramNames, 42));
    EXPECT_EQ(QList<QList<float>>({back.paramList1, back.paramValues, back.paramList5}),
              QList<QList<float>>({c.paramList1, c.paramValues, c.paramList5}));
    EXPECT_EQ(F::getCFormulaParams(F::eFT_DLINE).paramCount, 0);
    EXPECT_TRUE(F::getCFormulaParamsAll(QStringLiteral("NO_SUCH_FORMULA")).paramValues.isEmpty());

    F::CFormulaClass bad = c;
    bad.paramCount = 4; // one more than the lists hold
    EXPECT_FALSE(F::setCFormulaParams(bad));
    bad.paramCount = 17;
    for (int i = 3; i < 17; ++i) {
        bad.paramNames.append(QStringLiteral("P"));
        for (QList<float>* l : {&bad.paramList1, &bad.paramList2, &bad.paramValues,
                                &bad.paramList4, &bad.paramList5})
            l->append(1);
    }
    EXPECT_FALSE(F::setCFormulaParams(bad));
    EXPECT_EQ(F::getCFormulaParams(F::eFT_MACD).paramValues, c.paramValues); // the stored one stays
    bad.paramCount = 0; // no parameters at all is a definition too
    EXPECT_TRUE(F::setCFormulaParams(bad));
    F::m_dformulaManage = saved;
}
