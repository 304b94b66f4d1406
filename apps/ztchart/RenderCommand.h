#pragma once

#include <QStringList>

// ztchart render: draws a chart of quotes into a PNG or JPEG file, driving
// every element as a host does.
class RenderCommand
{
public:
    static int run(const QStringList& args);
    static QString help();
};
