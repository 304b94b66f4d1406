#pragma once

#include <QMainWindow>
#include <QString>

#include <memory>

class ChartWidget;
class QAction;
class QLabel;
class QTimer;
class ReplayFeed;

// The viewer's main window: the chart, its menus (file, view, indicators)
// and a status line with the instrument and the window shown.
class ViewerWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit ViewerWindow(QWidget* parent = nullptr);

    ChartWidget* chart() const { return m_chart; }

    // The sample daily bars with their events; false (with error set) when
    // the files cannot be read.
    bool openSampleBars(QString* error);
    bool openSampleMinutes(QString* error);
    // Daily bars or intraday minutes, by the file's time stamps.
    bool openFile(const QString& file, const QString& events, QString* error);
    void setDarkTheme(bool dark);
    // Plays the daily bars or minutes of file into the chart as if they
    // arrived live, speed bars a second: the first half is history, the
    // rest comes tick by tick (ReplayFeed).
    bool startReplay(const QString& file, double speed, QString* error);
    // The next tick of the replay, as its timer plays it; false at the end.
    bool replayStep();
    ~ViewerWindow() override;

private:
    void createMenus();
    void createFileMenu();
    void createViewMenu();
    void createIndicatorMenu();
    void openDialog();
    void toggleIntraday();
    void applyTheme();
    void updateStatus();
    void stopReplay();

    ChartWidget* m_chart;
    QLabel* m_status;
    QAction* m_logAction = nullptr;
    QAction* m_darkAction = nullptr;
    // The daily bars to return to from the intraday chart.
    QString m_barsFile;
    QString m_eventsFile;
    bool m_dark = true;
    std::unique_ptr<ReplayFeed> m_replay;
    QTimer* m_replayTimer = nullptr;
    // "last tick …" of the replay, shown in the status line.
    QString m_replayStatus;
};
