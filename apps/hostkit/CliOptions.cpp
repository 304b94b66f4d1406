#include "CliOptions.h"

#include "CliError.h"

#include <QRegularExpression>

#include <cmath>

CliOptions::CliOptions(const QString& command, const QList<Spec>& specs)
    : m_command(command)
    , m_specs(specs)
{
}

const CliOptions::Spec* CliOptions::findLong(const QString& name) const
{
    for (const Spec& s : m_specs)
        if (s.name == name)
            return &s;
    return nullptr;
}

const CliOptions::Spec* CliOptions::findShort(const QString& name) const
{
    for (const Spec& s : m_specs)
        if (!s.shortName.isEmpty() && s.shortName == name)
            return &s;
    return nullptr;
}

QString CliOptions::optionError(const QString& name, const QString& what) const
{
    return QStringLiteral("%1: option --%2: %3").arg(m_command, name, what);
}

void CliOptions::parse(const QStringList& args)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            m_help = true;
            continue;
        }
        const Spec* spec = nullptr;
        QString inlineValue;
        bool hasInline = false;
        if (arg.startsWith(QLatin1String("--")) && arg.size() > 2) {
            QString name = arg.mid(2);
            const int eq = name.indexOf(QLatin1Char('='));
            if (eq >= 0) {
                inlineValue = name.mid(eq + 1);
                name = name.left(eq);
                hasInline = true;
            }
            spec = findLong(name);
            if (!spec)
                throw CliError::usage(QStringLiteral("%1: unknown option --%2 (see ztchart %1 --help)")
                                          .arg(m_command, name));
        } else if (arg.size() == 2 && arg.startsWith(QLatin1Char('-')) && !arg.at(1).isDigit()) {
            spec = findShort(arg.mid(1));
            if (!spec)
                throw CliError::usage(QStringLiteral("%1: unknown option %2 (see ztchart %1 --help)")
                                          .arg(m_command, arg));
        } else {
            m_positional.append(arg);
            continue;
        }
        if (!spec->takesValue) {
            if (hasInline)
                throw CliError::usage(optionError(spec->name, QStringLiteral("takes no value")));
            m_values[spec->name].append(QString());
            continue;
        }
        if (!hasInline) {
            if (i + 1 >= args.size())
                throw CliError::usage(optionError(spec->name, QStringLiteral("needs a value")));
            inlineValue = args.at(++i);
        }
        m_values[spec->name].append(inlineValue);
    }
}

QString CliOptions::value(const QString& name, const QString& def) const
{
    const auto it = m_values.constFind(name);
    return it == m_values.constEnd() || it->isEmpty() ? def : it->last();
}

int CliOptions::intValue(const QString& name, int def, int min, int max) const
{
    if (!has(name))
        return def;
    bool ok = false;
    const int v = value(name).trimmed().toInt(&ok);
    if (!ok)
        throw CliError::usage(optionError(name, QStringLiteral("not a whole number: \"%1\"").arg(value(name))));
    if (v < min || v > max)
        throw CliError::usage(
            optionError(name, QStringLiteral("%1 is outside %2 … %3").arg(v).arg(min).arg(max)));
    return v;
}

QList<double> CliOptions::numberList(const QString& name) const
{
    QList<double> out;
    if (!has(name))
        return out;
    const QString text = value(name).trimmed();
    if (text.isEmpty())
        return out;
    for (const QString& part : text.split(QLatin1Char(','))) {
        bool ok = false;
        const double v = part.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v))
            throw CliError::usage(optionError(name, QStringLiteral("not a number: \"%1\"").arg(part)));
        out.append(v);
    }
    return out;
}

QSize CliOptions::sizeValue(const QString& name, QSize def, int minSide, int maxSide) const
{
    if (!has(name))
        return def;
    static const QRegularExpression re(QStringLiteral("^(\\d{1,6})[xX](\\d{1,6})$"));
    const QRegularExpressionMatch m = re.match(value(name).trimmed());
    if (!m.hasMatch())
        throw CliError::usage(
            optionError(name, QStringLiteral("expected WIDTHxHEIGHT such as 1200x800, got \"%1\"")
                                  .arg(value(name))));
    const int w = m.captured(1).toInt();
    const int h = m.captured(2).toInt();
    if (w < minSide || h < minSide || w > maxSide || h > maxSide)
        throw CliError::usage(optionError(
            name, QStringLiteral("each side must lie within %1 … %2 pixels").arg(minSide).arg(maxSide)));
    return QSize(w, h);
}

QString CliOptions::choice(const QString& name, const QStringList& choices, const QString& def) const
{
    if (!has(name))
        return def;
    for (const QString& c : choices)
        if (c.compare(value(name), Qt::CaseInsensitive) == 0)
            return c;
    throw CliError::usage(optionError(
        name, QStringLiteral("expected one of %1, got \"%2\"").arg(choices.join(QLatin1Char('|')), value(name))));
}

void CliOptions::require(const QString& name) const
{
    if (!has(name))
        throw CliError::usage(QStringLiteral("%1: missing --%2 (see ztchart %1 --help)").arg(m_command, name));
}

void CliOptions::rejectPositional() const
{
    if (!m_positional.isEmpty())
        throw CliError::usage(
            QStringLiteral("%1: unexpected argument \"%2\"").arg(m_command, m_positional.first()));
}

void CliOptions::exclusive(const QStringList& names) const
{
    QStringList given;
    for (const QString& n : names)
        if (has(n))
            given.append(QStringLiteral("--") + n);
    if (given.size() > 1)
        throw CliError::usage(QStringLiteral("%1: %2 cannot be combined").arg(m_command, given.join(QStringLiteral(" and "))));
}
