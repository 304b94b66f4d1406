#include "ViewerWindow.h"

#include "FormulaEditor.h"

#include "ChartData.h"
#include "ChartWidget.h"
#include "PaneWidget.h"
#include "CliError.h"
#include "PaneCatalog.h"
#include "ReplayFeed.h"
#include "ViewerSource.h"

#include <PubCacheCustom.h>
#include <ZtLineLibTheme.h>

#include <QAction>
#include <QActionGroup>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTime>
#include <QTimer>

using ZtUIDataStruct::PubCacheCustom;
using F = ZtLineLib_Formula;

namespace {

const QList<F::enumFormulaType> kDailyLowerPanes = {F::eFT_VOL, F::eFT_MACD};
const QList<F::enumFormulaType> kIntradayLowerPanes = {F::eFT_DLINEVOL};

QString paneName(F::enumFormulaType type)
{
    return PaneCatalog::nameOf(type);
}

} // namespace

ViewerWindow::ViewerWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_chart(new ChartWidget(this))
    , m_status(new QLabel(this))
{
    setWindowTitle(QStringLiteral("ztviewer"));
    // One compact face for the chart and the window around it.
    QFont font = this->font();
    font.setPixelSize(12);
    setFont(font);
    menuBar()->setFont(font);
    statusBar()->setFont(font);
    m_chart->setFont(font);
    setCentralWidget(m_chart);
    // Keys go to the chart from the start.
    m_chart->setFocus();
    statusBar()->addWidget(m_status, 1);
    createMenus();
    applyTheme();
    resize(1280, 800);
}

ViewerWindow::~ViewerWindow() = default;

void ViewerWindow::createMenus()
{
    createFileMenu();
    createViewMenu();
    createIndicatorMenu();
}

void ViewerWindow::createFileMenu()
{
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&File"));
    // Shortcuts are set on the action: the overloads that take one moved in Qt 6.
    menu->addAction(QStringLiteral("&Open CSV…"), this, &ViewerWindow::openDialog)->setShortcut(QKeySequence::Open);
    menu->addAction(QStringLiteral("Open &sample"), this, [this] {
        QString error;
        if (!openSampleBars(&error))
            QMessageBox::warning(this, windowTitle(), error);
    });
    menu->addSeparator();
    menu->addAction(QStringLiteral("&Quit"), this, &QWidget::close)->setShortcut(QKeySequence::Quit);
}

void ViewerWindow::createViewMenu()
{
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&View"));
    menu->addAction(QStringLiteral("K-line / &intraday"), this, &ViewerWindow::toggleIntraday)
        ->setShortcut(QKeySequence(Qt::Key_F5));
    m_logAction = menu->addAction(QStringLiteral("&Logarithmic scale"));
    m_logAction->setCheckable(true);
    m_logAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(m_logAction, &QAction::toggled, this, [this](bool on) { m_chart->setLogScale(on); });
    m_darkAction = menu->addAction(QStringLiteral("&Dark theme"));
    m_darkAction->setCheckable(true);
    m_darkAction->setChecked(true);
    m_darkAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    connect(m_darkAction, &QAction::toggled, this, &ViewerWindow::setDarkTheme);
    menu->addSeparator();
    menu->addAction(QStringLiteral("Zoom in\tUp / wheel"), m_chart, [this] { m_chart->zoom(1); });
    menu->addAction(QStringLiteral("Zoom out\tDown / wheel"), m_chart, [this] { m_chart->zoom(-1); });
    menu->addAction(QStringLiteral("First bars\tHome"), m_chart, &ChartWidget::home);
    menu->addAction(QStringLiteral("Last bars\tEnd"), m_chart, &ChartWidget::end);
}

void ViewerWindow::createIndicatorMenu()
{
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Indicators"));
    QMenu* lowest = menu->addMenu(QStringLiteral("&Lowest pane shows"));
    QMenu* add = menu->addMenu(QStringLiteral("&Add pane"));
    for (F::enumFormulaType type : ChartWidget::indicatorTypes()) {
        lowest->addAction(paneName(type), this, [this, type] {
            if (!m_chart->isIntraday())
                m_chart->setLowestPaneType(type);
        });
        add->addAction(paneName(type), this, [this, type] {
            if (!m_chart->isIntraday())
                m_chart->addPane(type);
        });
    }
    menu->addAction(QStringLiteral("&Remove lowest pane"), m_chart, &ChartWidget::removeLastPane);
    menu->addAction(QStringLiteral("Formula &editor…"), this, [this] {
        // Apply shows the formula in the lowest pane.
        auto* editor = new FormulaEditor(this);
        editor->setAttribute(Qt::WA_DeleteOnClose);
        if (m_chart->paneCount() > 1)
            editor->load(ZtLineLib_Formula::helpFormulaTypeToQString(m_chart->pane(m_chart->paneCount() - 1)->type()));
        connect(editor, &FormulaEditor::applied, m_chart, [this](F::enumFormulaType type) {
            if (m_chart->isIntraday())
                return;
            m_chart->setLowestPaneType(type);
            m_chart->refresh();
        });
        editor->show();
    });
    menu->addSeparator();
    menu->addAction(QStringLiteral("Previous indicator\t["), m_chart, [this] { m_chart->cycleLowestPane(-1); });
    menu->addAction(QStringLiteral("Next indicator\t]"), m_chart, [this] { m_chart->cycleLowestPane(1); });
}

bool ViewerWindow::openSampleBars(QString* error)
{
    stopReplay();
    try {
        m_barsFile = ViewerSource::samplePath(QStringLiteral("sh600000_day.csv"));
        m_eventsFile = ViewerSource::samplePath(QStringLiteral("sh600000_events.csv"));
        m_chart->setChartData(ViewerSource::loadBars(m_barsFile, m_eventsFile), kDailyLowerPanes);
    } catch (const CliError& e) {
        *error = e.message();
        return false;
    }
    updateStatus();
    return true;
}

bool ViewerWindow::openSampleMinutes(QString* error)
{
    stopReplay();
    try {
        m_chart->setChartData(
            ViewerSource::loadMinutes(ViewerSource::samplePath(QStringLiteral("sh600000_dline5.csv")), 1),
            kIntradayLowerPanes);
    } catch (const CliError& e) {
        *error = e.message();
        return false;
    }
    updateStatus();
    return true;
}

bool ViewerWindow::openFile(const QString& file, const QString& events, QString* error)
{
    stopReplay();
    try {
        std::unique_ptr<ChartData> data = ViewerSource::loadAny(file, events);
        const bool intraday = data->isDLine();
        if (!intraday) {
            m_barsFile = file;
            m_eventsFile = events;
        }
        m_chart->setChartData(std::move(data), intraday ? kIntradayLowerPanes : kDailyLowerPanes);
    } catch (const CliError& e) {
        *error = e.message();
        return false;
    }
    updateStatus();
    return true;
}

void ViewerWindow::openDialog()
{
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Open quotes"),
                                                      ViewerSource::sampleDir(),
                                                      QStringLiteral("Quote files (*.csv);;All files (*)"));
    if (file.isEmpty())
        return;
    QString error;
    if (!openFile(file, QString(), &error))
        QMessageBox::warning(this, windowTitle(), error);
}

void ViewerWindow::toggleIntraday()
{
    QString error;
    bool ok = true;
    if (m_chart->isIntraday()) {
        if (m_barsFile.isEmpty())
            ok = openSampleBars(&error);
        else
            ok = openFile(m_barsFile, m_eventsFile, &error);
    } else {
        ok = openSampleMinutes(&error);
    }
    if (!ok)
        QMessageBox::warning(this, windowTitle(), error);
}

void ViewerWindow::setDarkTheme(bool dark)
{
    m_dark = dark;
    if (m_darkAction && m_darkAction->isChecked() != dark)
        m_darkAction->setChecked(dark);
    applyTheme();
}

void ViewerWindow::applyTheme()
{
    // The user's table wins over the defaults, so switching is one assignment.
    PubCacheCustom::mCustomColor = m_dark ? PubCacheCustom::darkTheme() : PubCacheCustom::lightTheme();
    const QColor bg = getThemePen(QStringLiteral("Background")).color();
    const QColor grid = getThemePen(QStringLiteral("Grid1")).color();
    const QColor text = getThemePen(QStringLiteral("Default")).color();
    // The window's frame follows the chart face.
    setStyleSheet(QStringLiteral("QMainWindow, QStatusBar, QMenuBar { background: %1; color: %3; }"
                                 "QMenuBar::item:selected { background: %2; }"
                                 "QSplitter::handle { background: %2; }"
                                 "QStatusBar QLabel { color: %3; }")
                      .arg(bg.name(), grid.name(), text.name()));
    m_chart->refresh();
}

bool ViewerWindow::startReplay(const QString& file, double speed, QString* error)
{
    stopReplay();
    try {
        std::unique_ptr<ChartData> data = ViewerSource::loadAny(file, QString());
        const bool intraday = data->isDLine();
        // The feed cuts the list back before the panes first compute it.
        m_replay = std::make_unique<ReplayFeed>(
            data->charted(), ReplayFeed::defaultStart(data->count()), intraday);
        m_chart->setChartData(std::move(data), intraday ? kIntradayLowerPanes : kDailyLowerPanes);
    } catch (const CliError& e) {
        m_replay.reset();
        *error = e.message();
        return false;
    }
    m_replayStatus = QStringLiteral("replay: %1 bars to come").arg(m_replay->remainingBars());
    if (!m_replayTimer) {
        m_replayTimer = new QTimer(this);
        connect(m_replayTimer, &QTimer::timeout, this, [this] {
            if (!replayStep())
                m_replayTimer->stop();
        });
    }
    m_replayTimer->start(std::max(1, int(1000.0 / (speed * ReplayFeed::kTicksPerBar))));
    updateStatus();
    return true;
}

bool ViewerWindow::replayStep()
{
    if (!m_replay || m_replay->atEnd())
        return false;
    const ReplayFeed::Update u = m_replay->step();
    m_chart->quoteArrived(u.index, u.appended);
    // The tick's quote time, and the wall-clock time the chart took it.
    const QString when = QString::number(u.key);
    const QString quoteTime = m_chart->isIntraday()
                                  ? when.mid(0, 4) + '-' + when.mid(4, 2) + '-' + when.mid(6, 2)
                                        + ' ' + when.mid(8, 2) + ':' + when.mid(10, 2)
                                  : when.mid(0, 4) + '-' + when.mid(4, 2) + '-' + when.mid(6, 2);
    m_replayStatus = QStringLiteral("last tick %1 (%2/%3) updated %4%5")
                         .arg(quoteTime)
                         .arg(u.tick)
                         .arg(ReplayFeed::kTicksPerBar)
                         .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")),
                              m_replay->atEnd() ? QStringLiteral(" · replay finished")
                                                : QString());
    updateStatus();
    return true;
}

void ViewerWindow::stopReplay()
{
    if (m_replayTimer)
        m_replayTimer->stop();
    m_replay.reset();
    m_replayStatus.clear();
}

void ViewerWindow::updateStatus()
{
    ChartData* data = m_chart->chartData();
    if (!data)
        return;
    const QString kind = data->isDLine() ? QStringLiteral("intraday") : QStringLiteral("daily");
    setWindowTitle(QStringLiteral("ztviewer — %1 (%2)").arg(data->code(), kind));
    if (!m_replayStatus.isEmpty()) {
        m_status->setText(QStringLiteral("%1  %2  ·  %3 items  ·  %4   "
                                         "drag/←→ scroll back · End follows again")
                              .arg(data->code(), kind)
                              .arg(data->count())
                              .arg(m_replayStatus));
        return;
    }
    m_status->setText(QStringLiteral("%1  %2  ·  %3 items   "
                                     "wheel/↑↓ zoom · drag/←→ scroll · Home/End · [ ] indicator · "
                                     "F5 K-line/intraday · Ctrl+L log · Ctrl+T theme")
                          .arg(data->code(), kind)
                          .arg(data->count()));
}
