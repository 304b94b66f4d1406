#include <ZtLineLib.h>

#include <QGuiApplication>
#include <cstdio>

// Links every library of the package and touches each of them.
int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ZtUIDataStruct::DQDDataList list;
    ZtUIDataStruct::DQDUnionReader bar;
    bar.setUniqueValue(20240105000000);
    bar.setValue(ZtUIDataStruct::eFieldClose, 10.5);
    list.append(bar);
    const QPen pen = getThemePen(QStringLiteral("#00ff00"));
    const auto days = PBDataChange::LBDG_TagDayVector(&list, 0, list.count());
    CDFormulaManage store;
    if (list.count() != 1 || pen.color() != QColor(0, 255, 0) || days.size() != 1)
        return 1;
    std::puts("consumer ok");
    return 0;
}
