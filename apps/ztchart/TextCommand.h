#pragma once

#include <QStringList>

// ztchart text: the legend (value text) of one item of a pane.
class TextCommand
{
public:
    static int run(const QStringList& args);
    static QString help();
};
