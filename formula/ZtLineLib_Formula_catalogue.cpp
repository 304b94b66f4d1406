// The indicator catalogue: titles, stored definitions and parameters.

#include "ZtLineLib_Formula.h"

#include <string>

// The engine objects live as long as the library; every pane shares them.
CDFormulaManage ZtLineLib_Formula::m_dformulaManage;
ModuleFormular ZtLineLib_Formula::m_moduleFormular;

QString ZtLineLib_Formula::helpFormulaTypeToQString(enumFormulaType type)
{
    switch (type) {
    case eFT_MA: return QStringLiteral("MA");
    case eFT_VOL:
    case eFT_DLINEVOL: return QStringLiteral("VOL");
    case eFT_MACD: return QStringLiteral("MACD");
    case eFT_KDJ: return QStringLiteral("KDJ");
    case eFT_BIAS: return QStringLiteral("BIAS");
    case eFT_CCI: return QStringLiteral("CCI");
    case eFT_CR: return QStringLiteral("CR");
    case eFT_VR: return QStringLiteral("VR");
    case eFT_WR: return QStringLiteral("WR");
    case eFT_RSI: return QStringLiteral("RSI");
    case eFT_BOLL: return QStringLiteral("BOLL");
    case eFT_DMA: return QStringLiteral("DMA");
    case eFT_MTM: return QStringLiteral("MTM");
    case eFT_AB: return QStringLiteral("AB");
    case eFT_ZJLX: return QStringLiteral("资金流向");
    case eFT_MMLD: return QStringLiteral("买卖力道");
    case eFT_CMSD: return QStringLiteral("筹码锁定");
    case eFT_RZRQ: return QStringLiteral("融资融券");
    default: return userFormulaName(type);
    }
}

ZtLineLib_Formula::CFormulaClass ZtLineLib_Formula::getCFormulaParamsAll(QString name)
{
    CFormulaClass c;
    if (name.isEmpty())
        return c;
    std::string key = name.toStdString();
    const TagFormularContent* t = m_dformulaManage.GetFormularContent(key);
    if (!t)
        return c;

    c.text1 = QString::fromStdString(t->texts[0]);
    c.text2 = QString::fromStdString(t->texts[1]);
    c.text3 = QString::fromStdString(t->texts[2]);
    c.text4 = QString::fromStdString(t->texts[3]);
    c.text5 = QString::fromStdString(t->texts[4]);
    c.text6 = QString::fromStdString(t->texts[5]);
    c.number1 = t->numbers[0];
    c.number2 = t->numbers[1];
    c.number3 = t->numbers[2];
    c.number4 = t->numbers[3];
    c.number5 = t->numbers[4];
    c.number6 = t->numbers[5];
    // The store's arrays hold 16 entries; a count outside 0 … 16 would read
    // past them.
    c.paramCount = qBound(0, t->paramCount, kMaxFormulaParams);
    for (int j = 0; j < c.paramCount; ++j) {
        c.paramNames.append(QString::fromStdString(t->paramNames[j]));
        c.paramList1.append(t->params[0][j]);
        c.paramList2.append(t->params[1][j]);
        c.paramValues.append(t->params[2][j]);
        c.paramList4.append(t->params[3][j]);
        c.paramList5.append(t->params[4][j]);
    }
    return c;
}

ZtLineLib_Formula::CFormulaClass ZtLineLib_Formula::getCFormulaParams(enumFormulaType type)
{
    return getCFormulaParamsAll(helpFormulaTypeToQString(type));
}

ZtLineLib_Formula::CFormulaClass ZtLineLib_Formula::getThisCFormulaParamsAll()
{
    return getCFormulaParamsAll(helpFormulaTypeToQString(m_formulaType));
}

QList<float> ZtLineLib_Formula::getThisCFormulaParams()
{
    QList<float> result;
    for (float p : qAsConst(m_params)) {
        if (p != 0.0f) // NaN compares unequal and stays
            result.append(p);
    }
    return result;
}

bool ZtLineLib_Formula::setCFormulaParams(CFormulaClass c)
{
    const int n = c.paramCount;
    if (n < 0 || n > kMaxFormulaParams)
        return false;
    if (c.paramNames.size() < n || c.paramList1.size() < n || c.paramList2.size() < n
        || c.paramValues.size() < n || c.paramList4.size() < n || c.paramList5.size() < n)
        return false;

    TagFormularContent t;
    t.texts[0] = c.text1.toStdString();
    t.texts[1] = c.text2.toStdString();
    t.texts[2] = c.text3.toStdString();
    t.texts[3] = c.text4.toStdString();
    t.texts[4] = c.text5.toStdString();
    t.texts[5] = c.text6.toStdString();
    t.numbers[0] = c.number1;
    t.numbers[1] = c.number2;
    t.numbers[2] = c.number3;
    t.numbers[3] = c.number4;
    t.numbers[4] = c.number5;
    t.numbers[5] = c.number6;
    t.paramCount = n;
    for (int j = 0; j < n; ++j) {
        t.paramNames[j] = c.paramNames.at(j).toStdString();
        t.params[0][j] = c.paramList1.at(j);
        t.params[1][j] = c.paramList2.at(j);
        t.params[2][j] = c.paramValues.at(j);
        t.params[3][j] = c.paramList4.at(j);
        t.params[4][j] = c.paramList5.at(j);
    }
    return m_dformulaManage.SetFormularContent(t);
}

bool ZtLineLib_Formula::canChangeFormula()
{
    // The data-service indicators come as fixed sets of lines.
    return !(m_formulaType >= 1000 && m_formulaType <= 4999);
}

bool ZtLineLib_Formula::canSetParm()
{
    return canChangeFormula();
}

int ZtLineLib_Formula::needSpecialValue()
{
    switch (m_formulaType) {
    case eFT_ZJLX:
    case eFT_MMLD:
    case eFT_CMSD:
    case eFT_RZRQ: return 2;
    default: return 0;
    }
}
