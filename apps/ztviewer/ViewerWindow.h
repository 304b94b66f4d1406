#pragma once

#include <QMainWindow>
#include <QString>

class ChartWidget;
class QAction;
class QLabel;

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

private:
    void createMenus();
    void createFileMenu();
    void createViewMenu();
    void createIndicatorMenu();
    void openDialog();
    void toggleIntraday();
    void applyTheme();
    void updateStatus();

    ChartWidget* m_chart;
    QLabel* m_status;
    QAction* m_logAction = nullptr;
    QAction* m_darkAction = nullptr;
    // The daily bars to return to from the intraday chart.
    QString m_barsFile;
    QString m_eventsFile;
    bool m_dark = true;
};
