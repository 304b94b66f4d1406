#include "QuoteCsvFile.h"

#include "QuoteTextDecoder.h"

#include <QDate>
#include <QFile>
#include <QRegularExpression>
#include <QTime>

#include <cmath>

namespace ZtUIDataStruct {

namespace {

// The names each column goes by, '|'-separated: English as most tools
// write them, Chinese as quote clients export them.
struct ColumnNames
{
    const char* canonical;
    const char* names;
};

const ColumnNames kColumnNames[] = {
    {"date", "date|datetime|trade_date|日期"},
    {"time", "time|时间"},
    {"open", "open|开盘|开盘价"},
    {"high", "high|最高|最高价"},
    {"low", "low|最低|最低价"},
    {"close", "close|收盘|收盘价"},
    {"volume", "volume|vol|成交量"},
    {"amount", "amount|成交额|成交金额"},
    {"average", "average|均价"},
    {"float_shares", "float_shares|流通股本"},
};

// Lines before the header that a file may carry (a client's title line).
constexpr int kMaxTitleLines = 3;

const QString kDate = QStringLiteral("date");
const QString kTime = QStringLiteral("time");

QStringList namesOf(const QString& canonical)
{
    for (const ColumnNames& c : kColumnNames)
        if (canonical == QLatin1String(c.canonical))
            return QString::fromUtf8(c.names).split(QLatin1Char('|'));
    return {canonical};
}

QString canonicalColumn(const QString& name)
{
    const QString n = name.trimmed().toLower();
    for (const ColumnNames& c : kColumnNames)
        if (QString::fromUtf8(c.names).split(QLatin1Char('|')).contains(n))
            return QLatin1String(c.canonical);
    return n;
}

// The separator a line uses most: tab, semicolon or comma.
QChar separatorOf(const QString& line)
{
    QChar best = QLatin1Char(',');
    int most = line.count(best);
    for (QChar c : {QLatin1Char(';'), QLatin1Char('\t')}) {
        if (line.count(c) > most) {
            most = line.count(c);
            best = c;
        }
    }
    return best;
}

const QString kDateFormats = QStringLiteral(
    "not a date (yyyymmdd, yyyymmddHHMM[ss], or yyyy-mm-dd or yyyy/mm/dd with an optional HH:MM[:SS])");

// Date and optional time of day of a date field.
bool parseDate(const QString& s, QDate* date, QTime* time, bool* hasTime)
{
    static const QRegularExpression digits(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})(?:(\\d{2})(\\d{2})(\\d{2})?)?$"));
    static const QRegularExpression iso(QStringLiteral(
        "^(\\d{4})([-/.])(\\d{1,2})\\2(\\d{1,2})(?:(?:\\s+|T)(\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.\\d+)?)?)?$"));
    QRegularExpressionMatch m = digits.match(s);
    int y = 1, mo = 2, d = 3, h = 4;
    if (!m.hasMatch()) {
        m = iso.match(s);
        if (!m.hasMatch())
            return false;
        mo = 3, d = 4, h = 5;
    }
    *date = QDate(m.captured(y).toInt(), m.captured(mo).toInt(), m.captured(d).toInt());
    *hasTime = !m.captured(h).isEmpty();
    *time = QTime(m.captured(h).toInt(), m.captured(h + 1).toInt(), m.captured(h + 2).toInt());
    return date->isValid() && time->isValid();
}

// HH:MM, HH:MM:SS, HHMM (also HMM) or HHMMSS.
bool parseTime(const QString& s, QTime* time)
{
    static const QRegularExpression re(
        QStringLiteral("^(?:(\\d{1,2}):(\\d{2})(?::(\\d{2}))?|(\\d{1,2})(\\d{2})|(\\d{2})(\\d{2})(\\d{2}))$"));
    const QRegularExpressionMatch m = re.match(s);
    if (!m.hasMatch())
        return false;
    const int first = !m.captured(1).isEmpty() ? 1 : !m.captured(4).isEmpty() ? 4 : 6;
    const int seconds = first == 1 ? 3 : first == 6 ? 8 : 0;
    *time = QTime(m.captured(first).toInt(), m.captured(first + 1).toInt(),
                  seconds ? m.captured(seconds).toInt() : 0);
    return time->isValid();
}

} // namespace

QString QuoteCsvFile::columnHelp(const QStringList& columns)
{
    QStringList parts;
    for (const QString& c : columns)
        parts.append(namesOf(c).join(QLatin1Char('/')));
    return parts.join(QStringLiteral(", "));
}

bool QuoteCsvFile::fail(int line, const QString& message) const
{
    if (m_error) {
        *m_error = line > 0 ? QStringLiteral("%1:%2: %3").arg(m_path).arg(line).arg(message)
                            : QStringLiteral("%1: %2").arg(m_path, message);
    }
    return false;
}

bool QuoteCsvFile::failField(const QuoteCsvRow& row, const QString& column, const QString& what) const
{
    return fail(row.line, QStringLiteral("column \"%1\": %2: \"%3\"")
                              .arg(m_spelling.value(column), what, text(row, column)));
}

QStringList QuoteCsvFile::split(const QString& line) const
{
    QStringList fields = line.split(m_separator);
    for (QString& f : fields) {
        f = f.trimmed();
        if (f.size() >= 2 && f.startsWith(QLatin1Char('"')) && f.endsWith(QLatin1Char('"')))
            f = f.mid(1, f.size() - 2).trimmed();
    }
    return fields;
}

bool QuoteCsvFile::readHeader(const QStringList& lines, const QStringList& required,
                              const QStringList& optional, int* headerIndex)
{
    QString firstMissing;
    int firstLine = 0;
    int tried = 0;
    for (int i = 0; i < lines.size() && tried <= kMaxTitleLines; ++i) {
        const QString text = lines.at(i).trimmed();
        if (text.isEmpty())
            continue;
        ++tried;
        m_separator = separatorOf(text);
        const QStringList fields = split(text);
        m_columns.clear();
        m_spelling.clear();
        for (int c = 0; c < fields.size(); ++c) {
            const QString name = canonicalColumn(fields.at(c));
            const bool wanted = required.contains(name) || optional.contains(name)
                                || (name == kTime && required.contains(kDate));
            if (!wanted)
                continue;
            if (m_columns.contains(name))
                return fail(i + 1, QStringLiteral("duplicate column \"%1\"").arg(fields.at(c)));
            m_columns.insert(name, c);
            m_spelling.insert(name, fields.at(c));
        }
        // A time column alone holds the whole time value.
        m_dateColumn = !m_columns.contains(kDate) && m_columns.contains(kTime) ? kTime : kDate;
        QString missing;
        for (const QString& name : required)
            if (missing.isEmpty() && !m_columns.contains(name == kDate ? m_dateColumn : name))
                missing = name;
        if (missing.isEmpty()) {
            m_width = fields.size();
            *headerIndex = i;
            return true;
        }
        if (firstLine == 0) {
            firstLine = i + 1;
            firstMissing = missing;
        }
    }
    if (firstLine == 0)
        return fail(0, QStringLiteral("empty file, no header row"));
    QStringList understood = required + optional;
    if (required.contains(kDate))
        understood.insert(1, kTime);
    return fail(firstLine, QStringLiteral("missing column \"%1\" (columns understood: %2; separated by "
                                          "commas, semicolons or tabs)")
                               .arg(firstMissing, columnHelp(understood)));
}

bool QuoteCsvFile::read(const QStringList& required, const QStringList& optional)
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(0, QStringLiteral("cannot open: %1").arg(file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(0, QStringLiteral("cannot read: %1").arg(file.errorString()));
    QString content;
    if (!QuoteTextDecoder::decode(bytes, &content))
        return fail(0, QStringLiteral("neither UTF-8 nor GBK text"));

    const QStringList lines = content.split(QLatin1Char('\n'));
    int header = -1;
    if (!readHeader(lines, required, optional, &header))
        return false;
    int last = lines.size() - 1;
    while (last > header && lines.at(last).trimmed().isEmpty())
        --last;
    for (int i = header + 1; i <= last; ++i) {
        const QString text = lines.at(i).trimmed();
        if (text.isEmpty())
            continue;
        const QStringList fields = split(text);
        if (fields.size() != m_width) {
            // A client's closing note ("data source: …") is no row.
            if (i == last && fields.size() == 1 && !m_rows.isEmpty())
                break;
            return fail(i + 1, QStringLiteral("expected %1 columns, found %2").arg(m_width).arg(fields.size()));
        }
        m_rows.append({i + 1, fields});
    }
    if (m_rows.isEmpty())
        return fail(header + 1, QStringLiteral("no data rows after the header"));
    return true;
}

bool QuoteCsvFile::number(const QuoteCsvRow& row, const QString& column, double* value) const
{
    QString t = text(row, column);
    // A decimal comma, where commas do not separate the fields.
    if (m_separator != QLatin1Char(',') && t.count(QLatin1Char(',')) == 1 && !t.contains(QLatin1Char('.')))
        t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return failField(row, column, QStringLiteral("not a number"));
    *value = v;
    return true;
}

bool QuoteCsvFile::dateTime(const QuoteCsvRow& row, qint64* value, bool* hasTime) const
{
    QDate date;
    QTime time;
    bool timeGiven = false;
    if (!parseDate(text(row, m_dateColumn), &date, &time, &timeGiven))
        return failField(row, m_dateColumn, kDateFormats);
    if (m_dateColumn == kDate && has(kTime)) {
        if (!parseTime(text(row, kTime), &time))
            return failField(row, kTime, QStringLiteral("not a time of day (HH:MM, HH:MM:SS, HHMM or HHMMSS)"));
        timeGiven = true;
    }
    if (hasTime)
        *hasTime = timeGiven;
    *value = qint64(date.year()) * 10000000000LL + qint64(date.month()) * 100000000LL
             + qint64(date.day()) * 1000000LL + time.hour() * 10000LL + time.minute() * 100LL + time.second();
    return true;
}

} // namespace ZtUIDataStruct
