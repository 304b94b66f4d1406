#pragma once

#include <QStringList>

struct TagFormularContent;

// ztchart formulas: lists, shows and sets the parameters of the stored
// indicator definitions.
class FormulasCommand
{
public:
    static int run(const QStringList& args);
    static QString help();

private:
    static int list();
    static int show(const QString& name);
    static int set(const QString& name, const QString& values, const QString& storePath);
    static const TagFormularContent& find(const QString& name);
    // "MACD(SHORT=12,LONG=26,MID=9)"
    static QString signature(const TagFormularContent& def);
};
