#include "PaneList.h"

#include "CliError.h"

#include <cmath>

QStringList PaneList::splitTopLevel(const QString& text, QChar sep)
{
    QStringList parts;
    QString current;
    int depth = 0;
    for (QChar c : text) {
        if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')'))
            --depth;
        if (c == sep && depth == 0) {
            parts.append(current);
            current.clear();
        } else {
            current.append(c);
        }
    }
    parts.append(current);
    return parts;
}

PaneList::Entry PaneList::parseEntry(const QString& item)
{
    Entry e;
    QString name = item.trimmed();
    const int open = name.indexOf(QLatin1Char('('));
    if (open >= 0) {
        if (!name.endsWith(QLatin1Char(')')))
            throw CliError::usage(QStringLiteral("option --panes: unbalanced parentheses in \"%1\"").arg(item));
        const QString inner = name.mid(open + 1, name.size() - open - 2);
        name = name.left(open).trimmed();
        for (const QString& p : inner.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            bool ok = false;
            const double v = p.trimmed().toDouble(&ok);
            if (!ok || !std::isfinite(v))
                throw CliError::usage(QStringLiteral("option --panes: not a number in \"%1\"").arg(item));
            e.params.append(v);
        }
    }
    if (name.isEmpty())
        throw CliError::usage(QStringLiteral("option --panes: empty pane name"));
    if (!PaneCatalog::typeByName(name, &e.type))
        throw CliError::usage(QStringLiteral("option --panes: unknown pane type \"%1\" (known: %2)")
                                  .arg(name, PaneCatalog::namesHelp()));
    return e;
}

bool PaneList::isOverlayType(PaneCatalog::Type type)
{
    return type == ZtLineLib_Formula::eFT_MA || type == ZtLineLib_Formula::eFT_BOLL
           || type == ZtLineLib_Formula::eFT_CLOSE
           || (ZtLineLib_Formula::isUserFormulaType(type)
               && ZtLineLib_Formula::getCFormulaParams(type).number1 == 1);
}

PaneList PaneList::parse(const QString& text)
{
    PaneList list;
    bool inOverlays = false;
    for (const QString& raw : splitTopLevel(text, QLatin1Char(','))) {
        QStringList head = splitTopLevel(raw, QLatin1Char(':'));
        if (head.size() > 2)
            throw CliError::usage(QStringLiteral("option --panes: more than one ':' in \"%1\"").arg(raw));
        Entry e = parseEntry(head.first());
        if (inOverlays && head.size() == 1 && isOverlayType(e.type)) {
            list.panes.last().overlays.append(e);
            continue;
        }
        inOverlays = false;
        if (e.type == ZtLineLib_Formula::eFT_YDCM) {
            if (head.size() > 1)
                throw CliError::usage(QStringLiteral("option --panes: the chip column takes no overlays"));
            list.chipColumn = true;
            list.chipParams = e.params;
            continue;
        }
        list.panes.append(Pane{e, {}});
        if (head.size() == 2) {
            for (const QString& name : splitTopLevel(head.at(1), QLatin1Char('+'))) {
                const Entry overlay = parseEntry(name);
                if (!isOverlayType(overlay.type))
                    throw CliError::usage(
                        QStringLiteral("option --panes: %1 cannot overlay a pane (MA, BOLL, CLOSE can)")
                            .arg(name.trimmed()));
                list.panes.last().overlays.append(overlay);
            }
            inOverlays = true;
        }
    }
    if (list.panes.isEmpty())
        throw CliError::usage(QStringLiteral("option --panes: no pane to draw besides the chip column"));
    return list;
}
