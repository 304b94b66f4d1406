#include "ChartData.h"

#include "CliError.h"

#include <EventLoader.h>
#include <PBDataChange.h>
#include <QuoteLoader.h>

#include <QFileInfo>

using namespace ZtUIDataStruct;

namespace {

constexpr int kSlotsPerDay = 241;
constexpr int kAuctionSlots = 15;

const QStringList& feedKinds()
{
    static const QStringList kinds = {QStringLiteral("fundflow"), QStringLiteral("power"),
                                      QStringLiteral("chiplock"), QStringLiteral("margin")};
    return kinds;
}

} // namespace

QList<CliOptions::Spec> ChartData::optionSpecs()
{
    return {
        {QStringLiteral("bars"), true, QString()},
        {QStringLiteral("minutes"), true, QString()},
        {QStringLiteral("days"), true, QString()},
        {QStringLiteral("auction"), false, QString()},
        {QStringLiteral("events"), true, QString()},
        {QStringLiteral("capital"), true, QString()},
        {QStringLiteral("feed"), true, QString()},
        {QStringLiteral("code"), true, QString()},
    };
}

QString ChartData::optionHelp()
{
    return QStringLiteral(
        "Data:\n"
        "  --bars FILE        bars CSV (date,open,high,low,close,volume[,amount])\n"
        "  --minutes FILE     intraday minutes CSV, laid out as 241 slots a day;\n"
        "                     with --bars too, the bars are charted and the minutes\n"
        "                     only serve the data service (fund-flow estimates)\n"
        "  --days N           keep the last N trading days of --minutes\n"
        "  --auction          call-auction band (15 slots) in front; one day only\n"
        "  --events FILE      event list CSV (type,time,text1,text2,level)\n"
        "  --capital FILE     free-float shares CSV (date,float_shares); needed by\n"
        "                     the chip distribution\n"
        "  --feed KIND=FILE   data-service feed; KIND: fundflow, power, chiplock,\n"
        "                     margin (repeatable)\n"
        "  --code CODE        instrument code for the data service (default: the\n"
        "                     quote file name up to its first '_')\n");
}

ChartData ChartData::load(const CliOptions& opts)
{
    ChartData d;
    d.loadQuotes(opts);
    d.loadSideData(opts);
    return d;
}

void ChartData::loadQuotes(const CliOptions& opts)
{
    if (!opts.has(QStringLiteral("bars")) && !opts.has(QStringLiteral("minutes")))
        throw CliError::usage(QStringLiteral("missing --bars FILE or --minutes FILE"));
    const bool withBars = opts.has(QStringLiteral("bars"));
    QString error;
    if (withBars && !QuoteLoader::loadBars(opts.value(QStringLiteral("bars")), &m_bars, &error))
        throw CliError(error);
    if (opts.has(QStringLiteral("minutes"))) {
        QuoteLoader::MinuteOptions mo;
        mo.days = opts.intValue(QStringLiteral("days"), 0, 1, 100000);
        mo.auction = opts.has(QStringLiteral("auction"));
        if (!QuoteLoader::loadMinutes(opts.value(QStringLiteral("minutes")), &m_minutes, mo, &error))
            throw CliError(error);
        m_auction = mo.auction;
        m_days = (m_minutes.count() - (m_auction ? kAuctionSlots : 0)) / kSlotsPerDay;
        // The band belongs to a single-day chart; on several days it would
        // shift every later day off its slots.
        if (m_auction && m_days != 1 && !withBars)
            throw CliError::usage(QStringLiteral(
                "--auction shows the call-auction band of a single day; add --days 1 (the file holds %1 days)")
                                      .arg(m_days));
    } else if (opts.has(QStringLiteral("days")) || opts.has(QStringLiteral("auction"))) {
        throw CliError::usage(QStringLiteral("--days and --auction apply to --minutes"));
    }
    m_isDLine = !withBars;
    const QString source = opts.value(withBars ? QStringLiteral("bars") : QStringLiteral("minutes"));
    m_sourceName = QFileInfo(source).completeBaseName();
    m_code = opts.value(QStringLiteral("code"), m_sourceName.section(QLatin1Char('_'), 0, 0));
    if (m_code.isEmpty())
        m_code = QStringLiteral("ZTCHART");
    if (count() == 0)
        throw CliError(QStringLiteral("%1: no quotes in the file").arg(source));
}

void ChartData::loadSideData(const CliOptions& opts)
{
    QString error;
    if (opts.has(QStringLiteral("events"))
        && !EventLoader::loadEvents(opts.value(QStringLiteral("events")), &m_events, &error))
        throw CliError(error);
    if (opts.has(QStringLiteral("capital"))
        && !QuoteLoader::loadFloatShares(opts.value(QStringLiteral("capital")), &m_floatShares, &error))
        throw CliError(error);
    // Feeds are attached once the instrument is registered; their kinds are
    // checked now so that a typo fails before any work.
    for (const QString& feed : opts.values(QStringLiteral("feed"))) {
        const QString kind = feed.section(QLatin1Char('='), 0, 0).trimmed().toLower();
        const QString file = feed.section(QLatin1Char('='), 1);
        if (!feedKinds().contains(kind) || file.isEmpty())
            throw CliError::usage(QStringLiteral("option --feed: expected KIND=FILE with KIND one of %1, got \"%2\"")
                                      .arg(feedKinds().join(QLatin1Char(',')), feed));
        if (!QFileInfo::exists(file))
            throw CliError(QStringLiteral("%1: no such file").arg(file));
        m_feeds.append(qMakePair(kind, file));
    }
}

qint64 ChartData::keyAt(int i) const
{
    const DQDDataList& list = m_isDLine ? m_minutes : m_bars;
    const DQDUnionReader* r = list.at(i);
    return r ? r->uniqueKey() : 0;
}

void ChartData::registerInstrument()
{
    if (m_registered)
        return;
    m_registered = true;
    PBDataChange::registerInstrument(m_code, m_sourceName, m_bars, m_minutes, m_floatShares);
    for (const auto& feed : m_feeds) {
        QString error;
        bool ok = false;
        if (feed.first == QLatin1String("fundflow"))
            ok = PBDataChange::attachFundFlowFeed(m_code, feed.second, &error);
        else if (feed.first == QLatin1String("power"))
            ok = PBDataChange::attachPowerFeed(m_code, feed.second, &error);
        else if (feed.first == QLatin1String("chiplock"))
            ok = PBDataChange::attachChipLockFeed(m_code, feed.second, &error);
        else
            ok = PBDataChange::attachMarginFeed(m_code, feed.second, &error);
        if (!ok)
            throw CliError(error);
    }
}
