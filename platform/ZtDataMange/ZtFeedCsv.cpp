#include "ZtFeedCsv.h"

#include <QDate>
#include <QFile>
#include <QTime>

#include <algorithm>
#include <cmath>

namespace {

bool fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

QString where(const QString& label, int line, int column)
{
    return QStringLiteral("%1:%2:%3: ").arg(label).arg(line).arg(column);
}

} // namespace

bool ZtFeedCsv::read(const QString& path, const QStringList& columns, ZtFeedTable* table,
                     QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("%1: cannot open (%2)").arg(path, file.errorString()));
    return parse(file.readAll(), path, columns, table, error);
}

bool ZtFeedCsv::parseDate(const QByteArray& field, qint64* time, bool* minute)
{
    if (field.size() != 8 && field.size() != 12)
        return false;
    for (char c : field) {
        if (c < '0' || c > '9')
            return false;
    }
    const QDate date(field.left(4).toInt(), field.mid(4, 2).toInt(), field.mid(6, 2).toInt());
    if (!date.isValid())
        return false;
    const qint64 ymd = field.left(8).toLongLong();
    *minute = field.size() == 12;
    if (!*minute) {
        *time = ymd * 1000000;
        return true;
    }
    const int hh = field.mid(8, 2).toInt();
    const int mm = field.mid(10, 2).toInt();
    if (!QTime(hh, mm).isValid())
        return false;
    *time = ymd * 1000000 + hh * 10000 + mm * 100;
    return true;
}

bool ZtFeedCsv::parse(const QByteArray& text, const QString& label, const QStringList& columns,
                      ZtFeedTable* table, QString* error)
{
    QByteArray body = text;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    const QList<QByteArray> lines = body.split('\n');

    QMap<qint64, QVector<double>> daily;
    QMap<qint64, QVector<double>> minutes;
    bool headerSeen = false;
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        const QByteArray line = lines.at(i).trimmed();
        if (line.isEmpty())
            continue;
        const QList<QByteArray> fields = line.split(',');
        if (!headerSeen) {
            QStringList expected = QStringList{QStringLiteral("date")} + columns;
            for (int c = 0; c < std::max(fields.size(), expected.size()); ++c) {
                const QString got = c < fields.size() ? QString::fromUtf8(fields.at(c).trimmed())
                                                      : QString();
                const QString want = c < expected.size() ? expected.at(c) : QString();
                if (got != want) {
                    return fail(error, where(label, lineNo, c + 1)
                                           + QStringLiteral("header expected \"%1\", found \"%2\"")
                                                 .arg(want, got));
                }
            }
            headerSeen = true;
            continue;
        }
        if (fields.size() != columns.size() + 1) {
            const int column = std::min(fields.size(), columns.size() + 1) + 1;
            return fail(error, where(label, lineNo, column)
                                   + QStringLiteral("expected %1 fields, found %2")
                                         .arg(columns.size() + 1)
                                         .arg(fields.size()));
        }
        qint64 time = 0;
        bool minute = false;
        const QByteArray dateField = fields.at(0).trimmed();
        if (!parseDate(dateField, &time, &minute)) {
            return fail(error, where(label, lineNo, 1)
                                   + QStringLiteral("\"%1\" is not a date yyyymmdd or yyyymmddHHMM")
                                         .arg(QString::fromUtf8(dateField)));
        }
        QVector<double> values;
        values.reserve(columns.size());
        for (int c = 1; c < fields.size(); ++c) {
            const QByteArray f = fields.at(c).trimmed();
            bool ok = false;
            const double v = f.toDouble(&ok);
            if (!ok || !std::isfinite(v)) {
                return fail(error, where(label, lineNo, c + 1)
                                       + QStringLiteral("\"%1\" is not a number")
                                             .arg(QString::fromUtf8(f)));
            }
            values.append(v);
        }
        auto& rows = minute ? minutes : daily;
        if (rows.contains(time)) {
            return fail(error, where(label, lineNo, 1)
                                   + QStringLiteral("date %1 repeats an earlier row")
                                         .arg(QString::fromUtf8(dateField)));
        }
        rows.insert(time, values);
    }
    if (!headerSeen)
        return fail(error, where(label, 1, 1) + QStringLiteral("missing header line"));
    table->columns = columns;
    table->daily = ZtSeriesTable::fromMap(daily);
    table->minutes = ZtSeriesTable::fromMap(minutes);
    return true;
}
