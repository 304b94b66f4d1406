#pragma once

#include "CliOptions.h"

#include <DQDDataList.h>

#include <QList>
#include <QMap>
#include <QString>

// The quotes and side data one ztchart run works on, read from the files
// named on the command line: daily bars or intraday minutes (the charted
// list), events, free-float shares and data-service feeds. Also registers
// the instrument with the data service so that the data-service panes and
// the chip distribution find it.
class ChartData
{
public:
    // The options every data-reading subcommand accepts.
    static QList<CliOptions::Spec> optionSpecs();
    // The help text of those options.
    static QString optionHelp();

    // Reads what the options name. Throws CliError on a missing or bad file,
    // or on options that do not fit together.
    static ChartData load(const CliOptions& opts);

    // The list the chart shows: the bars when --bars was given, else the
    // minutes.
    ZtUIDataStruct::DQDDataList* charted() { return m_isDLine ? &m_minutes : &m_bars; }
    int count() const { return m_isDLine ? m_minutes.count() : m_bars.count(); }
    bool isDLine() const { return m_isDLine; }
    // Trading days of the minute list and whether the auction band leads it.
    int days() const { return m_days; }
    bool auction() const { return m_auction; }
    const QString& code() const { return m_code; }
    const QString& sourceName() const { return m_sourceName; }
    bool hasFloatShares() const { return !m_floatShares.isEmpty(); }
    const QMap<int, ZtUIDataStruct::DQDDataList>& events() const { return m_events; }
    // The key of record i, 0 without one.
    qint64 keyAt(int i) const;

    // Registers the instrument (bars, minutes, float shares) under code()
    // and attaches the feeds; done once, on the first call.
    void registerInstrument();

private:
    void loadQuotes(const CliOptions& opts);
    void loadSideData(const CliOptions& opts);

    ZtUIDataStruct::DQDDataList m_bars;
    ZtUIDataStruct::DQDDataList m_minutes;
    bool m_isDLine = false;
    int m_days = 0;
    bool m_auction = false;
    QString m_code;
    QString m_sourceName;
    QMap<int, ZtUIDataStruct::DQDDataList> m_events;
    QMap<qint64, double> m_floatShares;
    QList<QPair<QString, QString>> m_feeds; // kind, file
    bool m_registered = false;
};
