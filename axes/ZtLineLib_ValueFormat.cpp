#include "ZtLineLib_ValueFormat.h"

#include <DataTrans.h>

#include <QDateTime>

#include <algorithm>

namespace {

const QString kIf = QStringLiteral("{if#");
const QString kAnd = QStringLiteral("&&");
const QString kOr = QStringLiteral("||");
const QString kTrue = QStringLiteral("true");
const QString kFalse = QStringLiteral("false");

// A precision text can ask for any number of decimals; beyond this many the
// digits carry no information and a hostile "d999999999" would request
// gigabytes of text.
constexpr int kMaxDecimals = 64;

QString fixedText(double x, int decimals)
{
    return QString::number(x, 'f', std::clamp(decimals, 0, kMaxDecimals));
}

// Takes the text of an option "<keyword>text]" out of the format. Without
// the closing "]" the text runs to the end and the option stays in place.
QString takeOption(QString& format, const QString& keyword)
{
    const int at = format.indexOf(keyword);
    if (at < 0)
        return QString();
    const int start = at + keyword.size();
    const int close = format.indexOf(QLatin1Char(']'), start);
    const QString text = close < 0 ? format.mid(start) : format.mid(start, close - start);
    format.remove(keyword + text + QLatin1Char(']'));
    return text;
}

// Condition and format of a block body "condition;format;ignored".
void splitBlockBody(const QString& body, QString& condition, QString& format)
{
    const int first = body.indexOf(QLatin1Char(';'));
    if (first < 0) {
        condition = body;
        format.clear();
        return;
    }
    condition = body.left(first);
    const int second = body.indexOf(QLatin1Char(';'), first + 1);
    format = second < 0 ? body.mid(first + 1) : body.mid(first + 1, second - first - 1);
}

// A condition without parentheses: terms evaluated left to right, each
// tagged by the connective that ends it.
bool evaluateTerms(const QVariant& value, const QString& condition)
{
    int pos = 0;
    int nextAnd = condition.indexOf(kAnd);
    int nextOr = condition.indexOf(kOr);
    for (;;) {
        // Positions behind the cursor are stale; searching afresh only then
        // keeps long conditions linear.
        if (nextAnd >= 0 && nextAnd < pos)
            nextAnd = condition.indexOf(kAnd, pos);
        if (nextOr >= 0 && nextOr < pos)
            nextOr = condition.indexOf(kOr, pos);
        if (nextAnd < 0 && nextOr < 0)
            return evaluateFormatTerm(value, condition.mid(pos));
        const bool isAnd = nextOr < 0 || (nextAnd >= 0 && nextAnd < nextOr);
        const int at = isAnd ? nextAnd : nextOr;
        const bool result = evaluateFormatTerm(value, condition.mid(pos, at - pos));
        if (isAnd && !result)
            return false;
        if (!isAnd && result)
            return true;
        pos = at + 2;
    }
}

} // namespace

QString formatValueText(QVariant value, QString format)
{
    // Only the text "-" means no value; a number never compares equal to it.
    if (value.userType() == QMetaType::QString && value.toString() == QLatin1String("-"))
        value = 0;
    format = resolveConditionalFormat(value, format);

    if (format.contains(QLatin1String("!!")))
        return QString();
    if (format.contains(QLatin1String("!p")))
        return value.toString();
    const int ss = format.indexOf(QLatin1String("[ss:"));
    if (ss >= 0) {
        const int start = ss + 4;
        const int close = format.indexOf(QLatin1Char(']'), start);
        return close < 0 ? format.mid(start) : format.mid(start, close - start);
    }

    const QString suffix = takeOption(format, QStringLiteral("[ls:"));
    const QString prefix = takeOption(format, QStringLiteral("[ps:"));
    const int timeAt = format.indexOf(QLatin1String("[tn:"));
    const QString pattern = takeOption(format, QStringLiteral("[tn:"));
    QString timeText;
    if (timeAt >= 0) {
        const QDateTime dt = ZtUIDataStruct::DataTrans::getDateTimeFromULL(value.toULongLong());
        timeText = dt.toString(pattern);
    }

    const bool d = format.contains(QLatin1Char('d'));
    const bool w = format.contains(QLatin1Char('w'));
    const bool wc = format.contains(QLatin1String("wc"));
    const bool f = format.contains(QLatin1Char('f'));

    double v = value.toDouble();
    QString number;
    if (d || w || wc) {
        format.remove(QLatin1String("wc"));
        format.remove(QLatin1Char('w'));
        format.remove(QLatin1Char('f'));
        const int d1 = format.indexOf(QLatin1Char('d'));
        QString divisorText = d1 < 0 ? format : format.left(d1);
        if (divisorText.isEmpty())
            divisorText = QStringLiteral("1");
        QString precText;
        if (d1 >= 0) {
            const int d2 = format.indexOf(QLatin1Char('d'), d1 + 1);
            precText = d2 < 0 ? format.mid(d1 + 1) : format.mid(d1 + 1, d2 - d1 - 1);
        }
        const int prec = precText.isEmpty() ? 0 : precText.toInt(nullptr, 10);

        if (d) {
            v = v / divisorText.toDouble();
            number = fixedText(v, prec);
        }
        if (w || wc) {
            if (v >= 1e12)
                number = fixedText(v / 1e12, prec) + QStringLiteral("兆");
            else if (v >= 1e8)
                number = fixedText(v / 1e8, prec) + QStringLiteral("亿");
            else if (v >= 1e4)
                number = fixedText(v / 1e4, prec) + QStringLiteral("万");
            else if (v <= -1e12)
                number = QLatin1Char('-') + fixedText(v / -1e12, prec) + QStringLiteral("兆");
            else if (v <= -1e8)
                number = QLatin1Char('-') + fixedText(v / -1e8, prec) + QStringLiteral("亿");
            else if (v <= -1e4)
                number = QLatin1Char('-') + fixedText(v / -1e4, prec) + QStringLiteral("万");
            else if (wc)
                number = fixedText(v, 0);
        }
    }
    if (f && v > 0)
        number.prepend(QLatin1Char('+'));
    return prefix + timeText + number + suffix;
}

QString resolveConditionalFormat(QVariant value, QString format)
{
    QString condition;
    QString blockFormat;
    int from = 0;
    for (;;) {
        const int at = format.indexOf(kIf, from);
        if (at < 0)
            return format;
        const int bodyStart = at + kIf.size();
        const int close = format.indexOf(QLatin1Char('}'), bodyStart);
        if (close < 0) {
            // An unclosed block runs to the end; cutting it leaves the text
            // in front of it.
            splitBlockBody(format.mid(bodyStart), condition, blockFormat);
            return evaluateFormatCondition(value, condition) ? blockFormat : format.left(at);
        }
        const QString body = format.mid(bodyStart, close - bodyStart);
        format.remove(format.mid(at, close - at + 1));
        splitBlockBody(body, condition, blockFormat);
        if (evaluateFormatCondition(value, condition))
            return blockFormat;
        // Nothing before the block changed; the cut can only join a new
        // "{if#" that starts at most three characters earlier.
        from = std::max<int>(0, at - (kIf.size() - 1));
    }
}

bool evaluateFormatCondition(QVariant value, QString condition)
{
    // The innermost group is always free of "(", so each group is evaluated
    // flat and replaced by its truth value: no recursion, whatever the depth.
    for (int open = condition.lastIndexOf(QLatin1Char('(')); open >= 0;
         open = condition.lastIndexOf(QLatin1Char('('), open)) {
        const int close = condition.indexOf(QLatin1Char(')'), open + 1);
        const QString inside = close < 0 ? condition.mid(open + 1)
                                         : condition.mid(open + 1, close - open - 1);
        condition.remove(open, inside.size() + 2);
        condition.insert(open, evaluateTerms(value, inside) ? kTrue : kFalse);
    }
    return evaluateTerms(value, condition);
}

bool evaluateFormatTerm(QVariant value, QString term)
{
    if (term == kTrue)
        return true;
    if (term == kFalse)
        return false;
    static const char* const kOperators[] = {"><", ">=", "<=", "!=", "<", ">", "="};
    for (const char* op : kOperators) {
        const QLatin1String opText(op);
        const int at = term.indexOf(opText);
        if (at < 0)
            continue;
        QString left = term.left(at);
        if (left.isEmpty())
            left = value.toString();
        const int start = at + opText.size();
        const int next = term.indexOf(opText, start);
        const QString right = next < 0 ? term.mid(start) : term.mid(start, next - start);
        const double l = left.toDouble();
        const double r = right.toDouble();
        switch (op[0]) {
        case '>':
            if (op[1] == '<')
                return left.contains(right);
            if (op[1] == '=')
                return l > r || left == right;
            return l > r;
        case '<':
            if (op[1] == '=')
                return r > l || left == right;
            return l < r;
        case '!':
            return left != right;
        default:
            return left == right;
        }
    }
    return false;
}
