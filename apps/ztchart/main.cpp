// ztchart: the command-line host of the chart library.

#include "CliError.h"
#include "EvalCommand.h"
#include "FormulasCommand.h"
#include "LinesCommand.h"
#include "RenderCommand.h"
#include "StdStreams.h"
#include "TextCommand.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>

namespace {

struct Command
{
    const char* name;
    int (*run)(const QStringList&);
    QString (*help)();
    const char* summary;
};

const Command kCommands[] = {
    {"lines", &LinesCommand::run, &LinesCommand::help, "computed lines of one pane type as CSV"},
    {"text", &TextCommand::run, &TextCommand::help, "the legend of one item of a pane"},
    {"eval", &EvalCommand::run, &EvalCommand::help, "evaluate a formula text over quotes, CSV"},
    {"formulas", &FormulasCommand::run, &FormulasCommand::help, "list, show, set, add and remove stored definitions"},
    {"render", &RenderCommand::run, &RenderCommand::help, "draw a chart into a PNG or JPEG file"},
};

QString overview()
{
    QString text = QStringLiteral("usage: ztchart COMMAND [OPTIONS]\n\nCommands:\n");
    for (const Command& c : kCommands)
        text += QStringLiteral("  %1 %2\n").arg(QLatin1String(c.name), -9).arg(QLatin1String(c.summary));
    text += QStringLiteral("\n`ztchart COMMAND --help` describes each command. Errors print one line on\n"
                           "standard error and exit with 2 (bad arguments) or 1 (bad data, files).\n");
    return text;
}

const Command* findCommand(const QString& name)
{
    for (const Command& c : kCommands)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

// Qt's notes about the runtime environment (no XDG_RUNTIME_DIR on a
// headless machine) are not the user's business; errors of ztchart itself
// go through CliError.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg || message.startsWith(QLatin1String("QStandardPaths:")))
        return;
    StdStreams::err() << "ztchart: qt: " << message << '\n';
    StdStreams::err().flush();
}

} // namespace

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    const QString name = args.isEmpty() ? QString() : args.takeFirst();

    // Rendering needs a GUI application for fonts and images; without a
    // display the offscreen platform serves.
    qInstallMessageHandler(quietMessages);
    const bool gui = name == QLatin1String("render");
    if (gui && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app;
    if (gui)
        app.reset(new QGuiApplication(argc, argv));
    else
        app.reset(new QCoreApplication(argc, argv));

    int code = 0;
    try {
        if (name.isEmpty() || name == QLatin1String("--help") || name == QLatin1String("-h")) {
            StdStreams::out() << overview();
            code = name.isEmpty() ? 2 : 0;
        } else if (name == QLatin1String("help")) {
            const Command* c = args.isEmpty() ? nullptr : findCommand(args.first());
            StdStreams::out() << (c ? c->help() : overview());
        } else if (const Command* c = findCommand(name)) {
            code = c->run(args);
        } else if (name.startsWith(QLatin1Char('-'))) {
            throw CliError::usage(QStringLiteral("unknown option %1 (see ztchart --help)").arg(name));
        } else {
            throw CliError::usage(QStringLiteral("unknown command \"%1\" (lines, text, eval, formulas, render)").arg(name));
        }
    } catch (const CliError& e) {
        StdStreams::out().flush();
        StdStreams::err() << "ztchart: " << e.message() << '\n';
        code = e.exitCode();
    } catch (const std::exception& e) {
        StdStreams::out().flush();
        StdStreams::err() << "ztchart: internal error: " << e.what() << '\n';
        code = 1;
    }
    StdStreams::flush();
    // Output that never reached its file (a full disk) is a failure: a
    // script reading it must not take the truncated rows for the answer.
    if (StdStreams::out().status() != QTextStream::Ok || std::fflush(stdout) != 0) {
        StdStreams::err() << "ztchart: cannot write the output: " << std::strerror(errno) << '\n';
        StdStreams::err().flush();
        code = 1;
    }
    return code;
}
