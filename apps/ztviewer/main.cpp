// ztviewer: a desktop chart window over the chart library.
//
//   ztviewer                       the sample daily bars with their events
//   ztviewer FILE [--events FILE]  daily bars or intraday minutes from FILE
//   ztviewer --intraday            the sample intraday minutes
//   ztviewer --store FILE          with the formula store of FILE: its user
//                                  formulas join the Indicators menu
//   ztviewer --screenshot OUT.png [--size WxH] [--hover-event]
//                                  shows the window, puts the crosshair on
//                                  the chart (or the mouse on the last event
//                                  icon), saves the window and exits

#include "ChartWidget.h"
#include "PaneWidget.h"
#include "ViewerWindow.h"

#include <ZtLineLib_Formula.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

namespace {

// Moves the mouse over the price chart as a user would, so the screenshot
// shows the crosshair and its legends.
void hoverPriceChart(ChartWidget* chart, bool onEvent)
{
    PaneWidget* pane = chart->pane(0);
    if (!pane)
        return;
    QPoint pos(int(pane->width() * 0.72), int(pane->height() * 0.45));
    if (onEvent && pane->eventBar()) {
        // The icons have their places after the first paint.
        for (const ZtLineLib_InfoBar::LineInfo& info : pane->eventBar()->lineInfos())
            if (info.width > 0)
                pos = QPoint(info.x + info.width / 2, info.y + info.height / 2);
    }
    QMouseEvent move(QEvent::MouseMove, pos, pane->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(pane, &move);
}

int saveScreenshot(ViewerWindow* window, const QString& file, bool onEvent)
{
    hoverPriceChart(window->chart(), onEvent);
    QApplication::processEvents();
    if (!window->grab().save(file)) {
        std::fprintf(stderr, "ztviewer: cannot write %s\n", qPrintable(file));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ztviewer"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Chart window for daily bars and intraday minutes."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Quote CSV (daily bars or minutes)."));
    const QCommandLineOption events(QStringLiteral("events"), QStringLiteral("Event list CSV."),
                                    QStringLiteral("file"));
    const QCommandLineOption intraday(QStringLiteral("intraday"), QStringLiteral("Start with the sample intraday chart."));
    const QCommandLineOption light(QStringLiteral("light"), QStringLiteral("Start with the light theme."));
    const QCommandLineOption shot(QStringLiteral("screenshot"),
                                  QStringLiteral("Save the window to file and exit."), QStringLiteral("file"));
    const QCommandLineOption size(QStringLiteral("size"), QStringLiteral("Window size WxH."),
                                  QStringLiteral("WxH"), QStringLiteral("1280x800"));
    const QCommandLineOption hoverEvent(QStringLiteral("hover-event"),
                                        QStringLiteral("For --screenshot: the mouse on the last event icon."));
    const QCommandLineOption store(QStringLiteral("store"),
                                   QStringLiteral("Formula store file (user formulas join the Indicators menu)."),
                                   QStringLiteral("file"));
    parser.addOptions({events, intraday, light, shot, size, hoverEvent, store});
    parser.process(app);
    if (parser.isSet(store)) {
        std::string why;
        if (!ZtLineLib_Formula::m_dformulaManage.loadFromFile(parser.value(store).toStdString(), &why)) {
            std::fprintf(stderr, "ztviewer: --store: %s\n", why.c_str());
            return 1;
        }
    }

    ViewerWindow window;
    const QStringList wh = parser.value(size).split(QLatin1Char('x'));
    if (wh.size() == 2 && wh.at(0).toInt() >= 320 && wh.at(1).toInt() >= 240)
        window.resize(wh.at(0).toInt(), wh.at(1).toInt());
    if (parser.isSet(light))
        window.setDarkTheme(false);

    QString error;
    bool ok = true;
    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty()) {
        ok = window.openFile(files.first(), parser.value(events), &error);
    } else if (parser.isSet(intraday)) {
        ok = window.openSampleMinutes(&error);
    } else {
        ok = window.openSampleBars(&error);
    }
    if (!ok) {
        std::fprintf(stderr, "ztviewer: %s\n", qPrintable(error));
        return 1;
    }

    window.show();
    if (parser.isSet(shot)) {
        const QString file = parser.value(shot);
        int rc = 0;
        // After the first paint, when every widget has its final size.
        QTimer::singleShot(200, &window, [&] {
            rc = saveScreenshot(&window, file, parser.isSet(hoverEvent));
            app.quit();
        });
        app.exec();
        return rc;
    }
    return app.exec();
}
