#pragma once

#include "CliOptions.h"

#include <ZtLineLib_Formula.h>

#include <QList>
#include <QString>

class ChartData;

// The pane types ztchart knows by name, and how a host sets a pane of each
// type up for its data: flags, precision, parameters, instrument code and
// chip-distribution settings.
class PaneCatalog
{
public:
    using Type = ZtLineLib_Formula::enumFormulaType;

    // The type of a name (case-insensitive): a catalogue title such as MACD,
    // KLINE, DLINE, VOL, DLINEVOL (or DVOL), CLOSE, YDCM (or CHIP), the
    // data-service titles or their letters ZJLX, MMLD, CMSD, RZRQ. False
    // for an unknown name.
    static bool typeByName(const QString& name, Type* type);
    // The type of the required --type option; a usage error when unknown.
    static Type typeOption(const CliOptions& opts);
    // The data options and those of one pane: type, params, window, prec, store.
    static QList<CliOptions::Spec> paneOptionSpecs();
    // The canonical name of a type, as typeByName accepts it.
    static QString nameOf(Type type);
    // Every accepted name, for help and error texts.
    static QString namesHelp();

    static bool isEngineType(Type type);
    static bool isDataServiceType(Type type);

    // Sets pane up for data: data list, intraday flags, precision and the
    // inputs of its type. params overrides the built-in parameters (or, for
    // engine types, the stored values in the in-memory store, each within
    // its stored minimum … maximum); chipKey is
    // the bar the chip distribution is evaluated at (0: the last). Throws
    // CliError when the type needs data the run does not have.
    static void configure(ZtLineLib_Formula* pane, ChartData* data, const QList<double>& params,
                          qint64 chipKey = 0);

    // Throws a usage error "CONTEXT: NAME = v is outside lo … hi" when a
    // parameter value lies outside its stored bounds; a definition without
    // bounds (lo not below hi) takes any value.
    static void checkParam(const QString& context, const QString& name, float v, float lo, float hi);
    // Throws "COMMAND: TITLE: formula error: reason" when the pane's formula failed in its
    // last computation.
    static void checkComputed(const ZtLineLib_Formula& pane, const QString& command);
    // Sets pane up as configure does, with the --prec option, and computes
    // the window first … first + count − 1 on its own, without a chart
    // around it; throws as checkComputed does.
    static void computeAlone(ZtLineLib_Formula* pane, ChartData* data, const QList<double>& params,
                             const CliOptions& opts, int first, int count);

private:
    static void applyEngineParams(Type type, const QList<double>& params);
};
