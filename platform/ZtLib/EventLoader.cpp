#include "EventLoader.h"

#include "DQDFieldId.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QStringList>
#include <QTime>

namespace ZtUIDataStruct {

namespace {

// Collects the first failure as "file:line: message".
class ErrorSink
{
public:
    ErrorSink(const QString& path, QString* error) : m_path(path), m_error(error) {}

    bool fail(int line, const QString& message) const
    {
        if (m_error) {
            *m_error = line > 0 ? QStringLiteral("%1:%2: %3").arg(m_path).arg(line).arg(message)
                                : QStringLiteral("%1: %2").arg(m_path, message);
        }
        return false;
    }

private:
    QString m_path;
    QString* m_error;
};

// Splits one CSV line; fields may be quoted, with "" for a quote inside.
// Returns false for an unterminated quote or text after a closing quote,
// with *badField the 1-based field where that happens.
bool splitCsvLine(const QString& line, QStringList* fields, int* badField)
{
    QString field;
    bool quoted = false;
    bool closed = false;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c != QLatin1Char('"')) {
                field += c;
            } else if (i + 1 < line.size() && line.at(i + 1) == QLatin1Char('"')) {
                field += c;
                ++i;
            } else {
                quoted = false;
                closed = true;
            }
        } else if (c == QLatin1Char(',')) {
            fields->append(closed ? field : field.trimmed());
            field.clear();
            closed = false;
        } else if (c == QLatin1Char('"') && field.trimmed().isEmpty() && !closed) {
            quoted = true;
            field.clear();
        } else if (closed && !c.isSpace()) {
            *badField = fields->size() + 1;
            return false;
        } else {
            field += c;
        }
    }
    if (quoted) {
        *badField = fields->size() + 1;
        return false;
    }
    fields->append(closed ? field : field.trimmed());
    return true;
}

// yyyymmdd, yyyymmddHHMM or yyyymmddHHMMss → yyyyMMddHHmmss, or −1.
qint64 parseTime(const QString& text)
{
    const int n = text.size();
    if (n != 8 && n != 12 && n != 14)
        return -1;
    for (const QChar c : text) {
        if (c.unicode() < '0' || c.unicode() > '9')
            return -1;
    }
    const auto part = [&](int from, int len) { return from < n ? text.mid(from, len).toInt() : 0; };
    const QDate date(part(0, 4), part(4, 2), part(6, 2));
    const QTime time(part(8, 2), part(10, 2), part(12, 2));
    if (!date.isValid() || !time.isValid())
        return -1;
    return qint64(part(0, 4)) * 10000000000LL + qint64(part(4, 2)) * 100000000LL
           + qint64(part(6, 2)) * 1000000LL + part(8, 2) * 10000LL + part(10, 2) * 100LL
           + part(12, 2);
}

int parseType(const QString& text)
{
    const QString t = text.toLower();
    if (t == QLatin1String("dividend") || t == QLatin1String("2"))
        return EventLoader::eEventDividend;
    if (t == QLatin1String("level") || t == QLatin1String("4"))
        return EventLoader::eEventLevel;
    if (t == QLatin1String("notice") || t == QLatin1String("8"))
        return EventLoader::eEventNotice;
    return 0;
}

const QStringList kColumns = {QStringLiteral("type"), QStringLiteral("time"),
                              QStringLiteral("text1"), QStringLiteral("text2"),
                              QStringLiteral("level")};

struct Header
{
    QHash<QString, int> position; // column name → field index
    QHash<QString, QString> spelling;
    int width = 0;
};

bool readHeader(const QStringList& fields, int line, const ErrorSink& sink, Header* header)
{
    header->width = fields.size();
    for (int c = 0; c < fields.size(); ++c) {
        const QString name = fields.at(c).toLower();
        if (!kColumns.contains(name))
            continue;
        if (header->position.contains(name))
            return sink.fail(line, QStringLiteral("duplicate column \"%1\"").arg(fields.at(c)));
        header->position.insert(name, c);
        header->spelling.insert(name, fields.at(c));
    }
    for (const char* required : {"type", "time"}) {
        if (!header->position.contains(QLatin1String(required)))
            return sink.fail(line, QStringLiteral("missing column \"%1\"").arg(QLatin1String(required)));
    }
    return true;
}

// One data row as an event record, added to the list of its type.
bool readEvent(const QStringList& fields, int line, const Header& header, const ErrorSink& sink,
               QMap<int, DQDDataList>* lists)
{
    const auto field = [&](const char* name) {
        const int c = header.position.value(QLatin1String(name), -1);
        return c >= 0 ? fields.at(c) : QString();
    };
    const auto failField = [&](const char* name, const QString& what) {
        return sink.fail(line, QStringLiteral("column \"%1\": %2: \"%3\"")
                                   .arg(header.spelling.value(QLatin1String(name)), what,
                                        field(name)));
    };

    const int type = parseType(field("type"));
    if (type == 0)
        return failField("type", QStringLiteral("unknown event type"));
    const qint64 time = parseTime(field("time"));
    if (time < 0)
        return failField("time", QStringLiteral("not a date"));

    DQDUnionReader r;
    r.setUniqueValue(time);
    r.setValue(eFieldLevelTime, time);
    if (type == EventLoader::eEventDividend) {
        r.setValue(eFieldDividendTime, time);
        r.setValue(eFieldDividendText, field("text1"));
    } else if (type == EventLoader::eEventNotice) {
        r.setValue(eFieldNoticeTime, time);
        r.setValue(eFieldNoticeText1, field("text1"));
        r.setValue(eFieldNoticeText2, field("text2"));
    } else {
        if (!header.position.contains(QStringLiteral("level")))
            return sink.fail(line, QStringLiteral("a level event needs a \"level\" column"));
        bool ok = false;
        const qint64 level = field("level").toLongLong(&ok);
        if (!ok)
            return failField("level", QStringLiteral("not an integer"));
        r.setValue(eFieldLevel, level);
    }
    (*lists)[type].append(r);
    return true;
}

} // namespace

bool EventLoader::loadEvents(const QString& path, QMap<int, DQDDataList>* out, QString* error)
{
    const ErrorSink sink(path, error);
    if (!out)
        return sink.fail(0, QStringLiteral("no output given"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return sink.fail(0, QStringLiteral("cannot open: %1").arg(file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return sink.fail(0, QStringLiteral("cannot read: %1").arg(file.errorString()));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);

    QMap<int, DQDDataList> lists;
    for (int type : {eEventDividend, eEventLevel, eEventNotice})
        lists.insert(type, DQDDataList());
    Header header;
    bool haveHeader = false;
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString text = lines.at(i).trimmed();
        if (text.isEmpty())
            continue;
        const int lineNo = i + 1;
        QStringList fields;
        int badField = 0;
        if (!splitCsvLine(text, &fields, &badField))
            return sink.fail(lineNo, QStringLiteral("field %1: unbalanced quotes").arg(badField));
        if (!haveHeader) {
            if (!readHeader(fields, lineNo, sink, &header))
                return false;
            haveHeader = true;
            continue;
        }
        if (fields.size() != header.width) {
            return sink.fail(lineNo, QStringLiteral("expected %1 columns, found %2")
                                         .arg(header.width)
                                         .arg(fields.size()));
        }
        if (!readEvent(fields, lineNo, header, sink, &lists))
            return false;
    }
    if (!haveHeader)
        return sink.fail(0, QStringLiteral("empty file, no header row"));
    *out = lists;
    return true;
}

} // namespace ZtUIDataStruct
