#include "LineCsv.h"

#include "ChartData.h"

#include <FormulaResult.h>
#include <ZtLineLib_Formula.h>

#include <charconv>
#include <cmath>
#include <cstring>

QString LineCsv::formatValue(float v)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    return QString::fromLatin1(buf, int(res.ptr - buf));
}

bool LineCsv::isNoValue(float v)
{
    return !std::isfinite(v) || !FormulaResult::CheckValue(v) || ztIsNoValue(double(v));
}

QStringList LineCsv::uniqueNames(const QStringList& names)
{
    QStringList out;
    for (int k = 0; k < names.size(); ++k) {
        QString base = names.at(k).trimmed();
        // A comma or quote would break the header; such names are rare
        // enough that replacing the character is kinder than quoting.
        base.replace(QLatin1Char(','), QLatin1Char(';')).replace(QLatin1Char('"'), QLatin1Char('\''));
        if (base.isEmpty())
            base = QStringLiteral("line%1").arg(k);
        QString name = base;
        for (int n = 2; out.contains(name) || name == QLatin1String("index") || name == QLatin1String("key"); ++n)
            name = QStringLiteral("%1_%2").arg(base).arg(n);
        out.append(name);
    }
    return out;
}

void LineCsv::write(QTextStream& out, const ChartData& data, const DataWindow& window,
                    QStringList names, const QVector<QVector<float>>& series)
{
    names = uniqueNames(names);
    out << "index,key";
    for (const QString& n : names)
        out << ',' << n;
    out << '\n';
    for (int i = window.first; i < window.first + window.count; ++i) {
        out << i << ',' << data.keyAt(i);
        for (const QVector<float>& s : series) {
            out << ',';
            if (i < s.size() && !isNoValue(s.at(i)))
                out << formatValue(s.at(i));
        }
        out << '\n';
    }
}

void LineCsv::writePane(QTextStream& out, const ChartData& data, const DataWindow& window,
                        const ZtLineLib_Formula& pane)
{
    QStringList names;
    QVector<QVector<float>> series;
    const Formulas& lines = pane.formulaLines();
    for (int k = 0; k < lines.lineCount(); ++k) {
        const Formulas::formulaLine* line = lines.lineAt(k);
        names.append(line ? line->name : QString());
        series.append(line ? QVector<float>(line->values.begin(), line->values.end()) : QVector<float>());
    }
    write(out, data, window, names, series);
}

void LineCsv::writeChipRows(QTextStream& out, const ZtLineLib_Formula& pane)
{
    const Formulas& lines = pane.formulaLines();
    QStringList names;
    for (int k = 0; k < lines.lineCount(); ++k)
        names.append(lines.lineAt(k)->name);
    names = uniqueNames(names);
    out << "line,price,volume\n";
    for (int k = 0; k < lines.lineCount(); ++k) {
        for (const auto& row : lines.lineAt(k)->chipRows)
            out << names.at(k) << ',' << QString::number(row.first, 'f', 2) << ','
                << QString::number(row.second, 'g', 12) << '\n';
    }
}
