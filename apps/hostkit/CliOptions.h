#pragma once

#include <QHash>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

// The options of one subcommand: "--name value", "--name=value", bare flags
// and positional words. Every malformed or unknown option throws a
// CliError with exit code 2 that names the option.
class CliOptions
{
public:
    struct Spec
    {
        QString name;     // without the leading "--"
        bool takesValue;
        QString shortName; // one letter, "" for none ("o" for -o)
    };

    CliOptions(const QString& command, const QList<Spec>& specs);

    void parse(const QStringList& args);

    bool helpRequested() const { return m_help; }
    bool has(const QString& name) const { return m_values.contains(name); }
    // The last value given for the option, or def when absent.
    QString value(const QString& name, const QString& def = QString()) const;
    // Every value of a repeatable option, in command-line order.
    QStringList values(const QString& name) const { return m_values.value(name); }
    const QStringList& positional() const { return m_positional; }

    // Typed readers; a value that does not parse or lies outside the bounds
    // throws a usage error naming the option.
    int intValue(const QString& name, int def, int min, int max) const;
    QList<double> numberList(const QString& name) const;
    // "WxH", each side within the bounds.
    QSize sizeValue(const QString& name, QSize def, int minSide, int maxSide) const;
    // A value that must be one of choices (compared case-insensitively);
    // returns the choice as listed.
    QString choice(const QString& name, const QStringList& choices, const QString& def) const;

    // Throws unless the option was given.
    void require(const QString& name) const;
    // A usage error naming the first positional argument, if any.
    void rejectPositional() const;
    const QString& command() const { return m_command; }
    // Throws when more than one of the options was given.
    void exclusive(const QStringList& names) const;

private:
    const Spec* findLong(const QString& name) const;
    const Spec* findShort(const QString& name) const;
    QString optionError(const QString& name, const QString& what) const;

    QString m_command;
    QList<Spec> m_specs;
    QHash<QString, QStringList> m_values;
    QStringList m_positional;
    bool m_help = false;
};
