#include "PaneCatalog.h"

#include "ChartData.h"
#include "CliError.h"
#include "CliOptions.h"

#include <QStringList>

namespace {

struct NamedType
{
    const char* name;
    ZtLineLib_Formula::enumFormulaType type;
};

// Canonical names first; aliases after them map to the same type.
const NamedType kTypes[] = {
    {"KLINE", ZtLineLib_Formula::eFT_KLINE},
    {"DLINE", ZtLineLib_Formula::eFT_DLINE},
    {"VOL", ZtLineLib_Formula::eFT_VOL},
    {"DLINEVOL", ZtLineLib_Formula::eFT_DLINEVOL},
    {"CLOSE", ZtLineLib_Formula::eFT_CLOSE},
    {"MA", ZtLineLib_Formula::eFT_MA},
    {"MACD", ZtLineLib_Formula::eFT_MACD},
    {"KDJ", ZtLineLib_Formula::eFT_KDJ},
    {"BIAS", ZtLineLib_Formula::eFT_BIAS},
    {"CCI", ZtLineLib_Formula::eFT_CCI},
    {"CR", ZtLineLib_Formula::eFT_CR},
    {"VR", ZtLineLib_Formula::eFT_VR},
    {"WR", ZtLineLib_Formula::eFT_WR},
    {"RSI", ZtLineLib_Formula::eFT_RSI},
    {"BOLL", ZtLineLib_Formula::eFT_BOLL},
    {"DMA", ZtLineLib_Formula::eFT_DMA},
    {"MTM", ZtLineLib_Formula::eFT_MTM},
    {"AB", ZtLineLib_Formula::eFT_AB},
    {"ZJLX", ZtLineLib_Formula::eFT_ZJLX},
    {"MMLD", ZtLineLib_Formula::eFT_MMLD},
    {"CMSD", ZtLineLib_Formula::eFT_CMSD},
    {"RZRQ", ZtLineLib_Formula::eFT_RZRQ},
    {"YDCM", ZtLineLib_Formula::eFT_YDCM},
    {"DVOL", ZtLineLib_Formula::eFT_DLINEVOL},
    {"CHIP", ZtLineLib_Formula::eFT_YDCM},
};

} // namespace

PaneCatalog::Type PaneCatalog::typeOption(const CliOptions& opts)
{
    opts.require(QStringLiteral("type"));
    const QString name = opts.value(QStringLiteral("type"));
    Type type;
    if (!typeByName(name, &type))
        throw CliError::usage(QStringLiteral("%1: unknown pane type \"%2\" (known: %3)")
                                  .arg(opts.command(), name, namesHelp()));
    return type;
}

QList<CliOptions::Spec> PaneCatalog::paneOptionSpecs()
{
    QList<CliOptions::Spec> specs = ChartData::optionSpecs();
    for (const char* name : {"type", "params", "first", "count", "prec", "store"})
        specs << CliOptions::Spec{QLatin1String(name), true, QString()};
    return specs;
}

bool PaneCatalog::typeByName(const QString& name, Type* type)
{
    const QString n = name.trimmed();
    for (const NamedType& t : kTypes) {
        if (n.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0) {
            *type = t.type;
            return true;
        }
    }
    // The data-service titles (资金流向 …) name their types too.
    for (const NamedType& t : kTypes) {
        if (isDataServiceType(t.type) && n == ZtLineLib_Formula::helpFormulaTypeToQString(t.type)) {
            *type = t.type;
            return true;
        }
    }
    // A formula of the store (user formulas included) by its name.
    for (const TagFormularContent& c : ZtLineLib_Formula::m_dformulaManage.contents()) {
        const QString stored = QString::fromStdString(c.texts[0]);
        if (!n.isEmpty() && n.compare(stored, Qt::CaseInsensitive) == 0) {
            *type = ZtLineLib_Formula::userFormulaType(stored);
            return true;
        }
    }
    return false;
}

QString PaneCatalog::nameOf(Type type)
{
    if (ZtLineLib_Formula::isUserFormulaType(type))
        return ZtLineLib_Formula::userFormulaName(type);
    for (const NamedType& t : kTypes)
        if (t.type == type)
            return QLatin1String(t.name);
    return QString();
}

QString PaneCatalog::namesHelp()
{
    QStringList names;
    for (const NamedType& t : kTypes)
        names.append(QLatin1String(t.name));
    return names.join(QLatin1Char(','));
}

bool PaneCatalog::isEngineType(Type type)
{
    return type == ZtLineLib_Formula::eFT_MA
           || (type >= ZtLineLib_Formula::eFT_MACD && type <= ZtLineLib_Formula::eFT_AB)
           || ZtLineLib_Formula::isUserFormulaType(type);
}

bool PaneCatalog::isDataServiceType(Type type)
{
    return type == ZtLineLib_Formula::eFT_ZJLX || type == ZtLineLib_Formula::eFT_MMLD
           || type == ZtLineLib_Formula::eFT_CMSD || type == ZtLineLib_Formula::eFT_RZRQ;
}

void PaneCatalog::applyEngineParams(Type type, const QList<double>& params)
{
    ZtLineLib_Formula::CFormulaClass def = ZtLineLib_Formula::getCFormulaParams(type);
    const QString title = ZtLineLib_Formula::helpFormulaTypeToQString(type);
    if (params.size() > def.paramCount)
        throw CliError::usage(QStringLiteral("option --params: %1 takes at most %2 parameters (%3), got %4")
                                  .arg(title)
                                  .arg(def.paramCount)
                                  .arg(def.paramNames.join(QLatin1Char(',')))
                                  .arg(params.size()));
    // The bounds `formulas set` keeps to: a period of 0 or below gives an
    // empty pane, not a chart.
    for (int j = 0; j < params.size(); ++j) {
        const float v = float(params.at(j));
        checkParam(title, def.paramNames.value(j), v, def.paramList1.value(j),
                                 def.paramList2.value(j));
        def.paramValues[j] = v;
    }
    if (!ZtLineLib_Formula::setCFormulaParams(def))
        throw CliError(QStringLiteral("the formula store refused the parameters of %1").arg(title));
}

void PaneCatalog::checkComputed(const ZtLineLib_Formula& pane, const QString& command)
{
    if (!pane.lastFormulaError().isEmpty())
        throw CliError(QStringLiteral("%1: %2: formula error: %3")
                           .arg(command, ZtLineLib_Formula::helpFormulaTypeToQString(pane.formulaType()),
                                pane.lastFormulaError()));
}

void PaneCatalog::computeAlone(ZtLineLib_Formula* pane, ChartData* data, const QList<double>& params,
                               const CliOptions& opts, int first, int count)
{
    configure(pane, data, params);
    if (opts.has(QStringLiteral("prec")))
        pane->setPrec(opts.intValue(QStringLiteral("prec"), 2, 0, 10));
    // Any rectangle will do: the lines and the range do not depend on it.
    pane->setRect(0, 0, 1000, 400);
    pane->SetMaxMinValue(kZtNoValue, kZtNoValueMax);
    pane->setRange(first, count);
    checkComputed(*pane, opts.command());
}

void PaneCatalog::configure(ZtLineLib_Formula* pane, ChartData* data, const QList<double>& params,
                            qint64 chipKey)
{
    const Type type = pane->formulaType();
    pane->setData(data->charted());
    pane->setIsDLine(data->isDLine());
    pane->setShowDRFS(data->isDLine() ? std::max(data->days(), 1) : 1);
    pane->setShowJHJJ(data->isDLine() && data->auction() && data->days() == 1);
    const bool volume = type == ZtLineLib_Formula::eFT_VOL || type == ZtLineLib_Formula::eFT_DLINEVOL;
    // Indicators of minutes move in thousandths.
    pane->setPrec(volume ? 0 : (data->isDLine() && isEngineType(type) ? 3 : 2));

    QList<float> builtIn;
    for (double p : params)
        builtIn.append(float(p));
    if (isEngineType(type)) {
        if (!params.isEmpty())
            applyEngineParams(type, params);
    } else if (type == ZtLineLib_Formula::eFT_DLINE) {
        // 1 adds the average-price line.
        pane->m_params = params.isEmpty() ? QList<float>{1.0f} : builtIn;
    } else if (type == ZtLineLib_Formula::eFT_VOL) {
        for (double p : params)
            if (!(p >= 1 && p <= 1000))
                throw CliError::usage(QStringLiteral("VOL: average period %1 is outside 1 … 1000").arg(p));
        pane->m_params = params.isEmpty() ? QList<float>{5.0f, 10.0f} : builtIn;
    } else {
        pane->m_params = builtIn;
    }

    if (isDataServiceType(type)) {
        if (type == ZtLineLib_Formula::eFT_RZRQ && data->isDLine())
            throw CliError::usage(QStringLiteral("RZRQ (margin trading) is a daily indicator; use --bars"));
        data->registerInstrument();
        pane->m_codeList = QStringList{data->code()};
    }
    if (type == ZtLineLib_Formula::eFT_YDCM) {
        if (data->isDLine())
            throw CliError::usage(QStringLiteral("the chip distribution works on daily bars; use --bars"));
        if (!data->hasFloatShares())
            throw CliError::usage(
                QStringLiteral("the chip distribution needs the free-float shares: add --capital FILE"));
        data->registerInstrument();
        pane->m_ydcmCode = data->code();
        pane->m_ydcmKey = chipKey;
        // The pane shows the last distribution the service returns.
        pane->m_ydcmCount = 1;
        QVector<int> periods;
        for (double p : params)
            periods.append(int(p));
        pane->m_ydcmPeriods = periods;
        pane->m_ydcmOutType = periods.isEmpty() ? eZtYdcmOutAll : eZtYdcmOutYounger;
    }
}

void PaneCatalog::checkParam(const QString& context, const QString& name, float v, float lo, float hi)
{
    if (lo < hi && (v < lo || v > hi))
        throw CliError::usage(QStringLiteral("%1: %2 = %3 is outside %4 … %5")
                                  .arg(context, name, QString::number(double(v), 'g', 7),
                                       QString::number(double(lo), 'g', 7), QString::number(double(hi), 'g', 7)));
}
