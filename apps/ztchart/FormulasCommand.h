#pragma once

#include <QStringList>

class CliOptions;
struct TagFormularContent;

// ztchart formulas: lists, shows and sets the parameters of the stored
// indicator definitions, and adds and removes user formulas.
class FormulasCommand
{
public:
    static int run(const QStringList& args);
    static QString help();

private:
    static int list();
    static int show(const QString& name);
    static int set(const QString& name, const QString& values, const QString& storePath);
    // FormulasCommand_edit.cpp: user formulas.
    static int add(const QString& name, const CliOptions& opts);
    static int remove(const QString& name, const QString& storePath);
    static const TagFormularContent& find(const QString& name);
    // "MACD(SHORT=12,LONG=26,MID=9)"
    static QString signature(const TagFormularContent& def);
};
