#include <ZtLineLib.h>

#include <gtest/gtest.h>

#include <tuple>

TEST(ValueFormat, TableOfTheAxisFormats)
{
    // The value axis's format: units above 99999.
    const char* axis = "{if#>99999||<-99999;d2w}d2";
    // Format, value, text.
    const std::tuple<const char*, QVariant, const char*> rows[] = {
        {axis, 123456.789, "12.35万"},
        {axis, 5000.0, "5000.00"},
        {axis, -2.5e5, "-25.00万"},
        {axis, 99999.0, "99999.00"},
        {axis, 99999.99, "10.00万"},
        {"d2[ls:%]", 1.5, "1.50%"},
        {"d2[ls:%]", 0.0, "0.00%"},
        {"d2w", 2.5e8, "2.50亿"},
        {"d1w", -3.2e12, "-3.2兆"},
        {"w", 10000.0, "1万"}, // a whole unit already counts
        {"w", 56789.0, "6万"},
        {"w", 1234.4, ""},
        {"wc", 1234.4, "1234"},
        {"1000d1", 12345.0, "12.3"},
        {"fd2", 1.234, "+1.23"},
        {"fd2", -1.234, "-1.23"},
        {"fd2", 0.0, "0.00"},
        {"d", 7.89, "8"},
        {"!p", 3.25, "3.25"},
        {"!!", 12.0, ""},
        {"[ss:--]", 12.0, "--"},
        {"[ps:N=]d0[ls: pcs]", 42.0, "N=42 pcs"},
        {"d2", QVariant(QStringLiteral("-")), "0.00"},
        {"{if#>=5;[ss:yes]}[ss:no]", 5.0, "yes"},
        {"{if#>=5.0;[ss:yes]}[ss:no]", 5.0, "no"},
        {"{if#=0;[ss:--]}d2", 0.0, "--"},
        {"{if#=0;[ss:--]}d2", 0.001, "0.00"},
        {"{if#=0;;[ss:ignored]}d2", 0.0, ""}, // an empty format in a block
        {"{if#><-;[ss:neg]}d2", -2.0, "neg"},
        {"{if#<5&&>0||=7;[ss:A]}[ss:B]", 7.0, "B"},
        {"{if#(<5&&>0)||=7;[ss:A]}[ss:B]", 7.0, "A"},
        {"{if#<1;[ss:a]}{if#<5;[ss:b]}[ss:c]", 3.0, "b"},
        {"{if#<1;[ss:a]}{if#<5;[ss:b]}[ss:c]", 9.0, "c"},
        // The letters of a time pattern never count as flags; a date code
        // that names no date gives no time text.
        {"[tn:yyyy-MM-dd]", 20240105093000.0, "2024-01-05"},
        {"[tn:hh:mm]", 20240105093000.0, "09:30"},
        {"[tn:yyyy][ls:x]", 20241345000000.0, "x"},
        // "f" alone signs a positive value and prints nothing else.
        {"f", 3.0, "+"},
        {"f", -3.0, ""},
        {"", 3.0, ""},
        // Unknown characters only take part in the split around "d".
        {"xd1", 12345.0, "inf"},
        {"0d2", 5.0, "inf"},
        // An option without "]" stays in the format; its letters become flags
        // ("1[ls:abc" is no number).
        {"d1[ls:abc", 5.0, "5abc"},
        // A negative value too small for a unit keeps what "d" made of it.
        {"d1w", -1234.5, "-1234.5"},
        {"wc", -9999.6, "-10000"},
        // Malformed formats still give a text.
        {"[ss:", 1.0, ""},
        {"dd", 1.0, "1"},
        {"100d2d", 12345.0, "123.45"}, // the decimals end at a second d
        {"d-3", 1.0, "1"},
    };
    for (const auto& [format, value, text] : rows)
        EXPECT_EQ(formatValueText(value, format), text) << format << " " << value.toString().toStdString();
}

TEST(ValueFormat, ConditionsAndTerms)
{
    const std::pair<const char*, bool> terms[] = {
        {"true", true}, {"false", false}, {" true", false}, {"<=3", true}, {"<=4", true}, {"<=2", false},
        {"!=3.0", true}, {"=3.0", false}, // texts differ
        {"abc><b", true},                 // explicit left operand
        {"7>5>ignored", true}, {"3", false}, // no operator
        {">x", true},                        // a non-number reads 0
    };
    for (const auto& t : terms)
        EXPECT_EQ(evaluateFormatTerm(3.0, t.first), t.second) << t.first;
    // No precedence: the rest binds to the right.
    const std::pair<const char*, bool> conditions[] = {
        {"=7||<5&&>9", true}, {"<5&&>0||=7", false}, {"((=7))", true}, {"(=7)&&(=8)", false},
        {"(=8)||(>1&&<9)", true},
    };
    for (const auto& c : conditions)
        EXPECT_EQ(evaluateFormatCondition(7.0, c.first), c.second) << c.first;
    EXPECT_EQ(resolveConditionalFormat(1.0, "x{if#<0;a}y{if#>0;b;c}z"), "b");
    EXPECT_EQ(resolveConditionalFormat(-1.0, "x{if#>0;a}y{if#>5;b}z"), "xyz");
}

TEST(ValueFormat, HostileFormatsGiveATextAndEnd)
{
    // An unclosed block that fails leaves the text in front of it.
    EXPECT_EQ(resolveConditionalFormat(1.0, "d2{if#>5;d0"), "d2");
    for (auto [value, format, text] : {std::tuple{1.0, "d2{if#>5;d0", "1.00"}, {9.0, "d2{if#>5;d0", "9"},
                                       {1.0, "{if#", ""}, {1.0, "{if#}{if#}{if#", ""}})
        EXPECT_EQ(formatValueText(value, format), text) << format;
    // A cut that joins a new keyword is evaluated in turn.
    EXPECT_EQ(resolveConditionalFormat(1.0, "{{if#>5;x}if#<5;[ss:joined]}"), "[ss:joined]");
    // Unbalanced brackets and empty operands.
    for (auto [condition, holds] : {std::pair{"((((>0", true}, {">0))))", true}, {")(&&||", false}, {"&&<5", false}, {"", false}})
        EXPECT_EQ(evaluateFormatCondition(1.0, condition), holds) << condition;
    EXPECT_EQ(formatValueText(1.0, "d999999999"), QString::number(1.0, 'f', 64));

    // Deep nesting and long texts finish promptly, without deep recursion.
    QString deep = QString(5000, QLatin1Char('(')) + QStringLiteral(">0") + QString(5000, QLatin1Char(')'));
    EXPECT_TRUE(evaluateFormatCondition(1.0, deep));
    EXPECT_EQ(formatValueText(1.0, QStringLiteral("{if#") + deep + QStringLiteral(";[ss:ok]}")), "ok");
    QString blocks;
    for (int i = 0; i < 4000; ++i)
        blocks += QStringLiteral("{if#<-%1;[ss:x]}").arg(i);
    const QString terms =
        QStringLiteral("{if#") + QStringLiteral("<0||").repeated(20000) + QStringLiteral(">0;[ss:last]}");
    EXPECT_EQ(formatValueText(5.0, blocks + QStringLiteral("d1")), "5.0");
    EXPECT_EQ(formatValueText(5.0, terms), "last");
    EXPECT_EQ(formatValueText(5.0, QString(200000, QLatin1Char('d'))), "5");
}
