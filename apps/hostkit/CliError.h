#pragma once

#include <QString>

#include <stdexcept>

// A failure the user has to fix: bad arguments (exit code 2) or a file or
// value that cannot be used (exit code 1). main prints the message as one
// line on standard error.
class CliError : public std::runtime_error
{
public:
    enum enumExitCode { eUsage = 2, eData = 1 };

    CliError(const QString& message, enumExitCode code = eData)
        : std::runtime_error(message.toStdString())
        , m_message(message)
        , m_code(code)
    {
    }

    const QString& message() const { return m_message; }
    int exitCode() const { return m_code; }

    static CliError usage(const QString& message) { return CliError(message, eUsage); }

private:
    QString m_message;
    enumExitCode m_code;
};
