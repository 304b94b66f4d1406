#include "ViewerSource.h"

#include "ChartData.h"
#include "CliError.h"
#include "CliOptions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

std::unique_ptr<ChartData> loadWith(const QStringList& args)
{
    CliOptions opts(QStringLiteral("ztviewer"), ChartData::optionSpecs());
    opts.parse(args);
    return std::make_unique<ChartData>(ChartData::load(opts));
}

// The first field of the first data row, or empty.
QString firstDate(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream in(&f);
    for (int row = 0; row < 5 && !in.atEnd(); ++row) {
        const QString field = in.readLine().section(QLatin1Char(','), 0, 0).trimmed();
        bool number = false;
        field.toLongLong(&number);
        if (number)
            return field;
    }
    return QString();
}

} // namespace

QString ViewerSource::sampleDir()
{
#ifdef ZT_VIEWER_DATA_DIR
    if (QFileInfo(QStringLiteral(ZT_VIEWER_DATA_DIR)).isDir())
        return QStringLiteral(ZT_VIEWER_DATA_DIR);
#endif
    const QString app = QCoreApplication::applicationDirPath();
    const QString beside = app + QStringLiteral("/data");
    return QFileInfo(beside).isDir() ? beside : app;
}

QString ViewerSource::samplePath(const QString& fileName)
{
    return QDir(sampleDir()).filePath(fileName);
}

std::unique_ptr<ChartData> ViewerSource::loadBars(const QString& file, const QString& events)
{
    QStringList args{QStringLiteral("--bars"), file};
    if (!events.isEmpty())
        args << QStringLiteral("--events") << events;
    return loadWith(args);
}

std::unique_ptr<ChartData> ViewerSource::loadMinutes(const QString& file, int days)
{
    return loadWith({QStringLiteral("--minutes"), file, QStringLiteral("--days"), QString::number(days)});
}

std::unique_ptr<ChartData> ViewerSource::loadAny(const QString& file, const QString& events)
{
    if (!QFileInfo::exists(file))
        throw CliError(QStringLiteral("%1: no such file").arg(file));
    // yyyyMMdd has 8 digits, minute stamps 12 or more.
    if (firstDate(file).size() > 8)
        return loadMinutes(file, 1);
    return loadBars(file, events);
}
