#pragma once

#include <QColor>
#include <QList>
#include <QString>

class ZtLineLib_Formula;

// A pane's value text (getDataString) cut into what a host paints: the
// title and one segment per line, each in the colour of its line
// (getLinePenByIndex), values of 100000 and more in the axis's units (万, 亿).
class PaneLegend
{
public:
    struct Segment
    {
        QString text;
        QColor color;
        bool title = false;
    };

    // Splits text, the pane's value text of one item. The title (up to " |")
    // comes first unless it is empty; empty segments are dropped.
    static QList<Segment> split(ZtLineLib_Formula& pane, const QString& text);
};
