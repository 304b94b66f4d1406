// The formula texts and icons of the indicator pane, each at its value's
// height.

#include "ZtLineLib_Formula.h"
#include "ZtPaintBatch.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPixmap>

using namespace ZtUIDataStruct;
using namespace zt;
using Line = Formulas::formulaLine;

// ---- formula text and icons ---------------------------------------------------

void ZtLineLib_Formula::Draw_eDRAWTEXT(QPainter* painter, const Line* line)
{
    const SlotGeometry g{m_pointW, m_drawLeft, m_barGap, m_barCentreOffset};
    const bool tags = m_drawMaxMinTag;
    const int lift = int(m_fontHeight) / 3;
    const QColor lineColour = line->pen.color();
    QPen pen(lineColour);
    painter->setPen(pen);
    QColor current = lineColour;

    const int size = line->values.size();
    const int colourCount = line->colors.size();
    for (int i = m_dataShowIndex, k = 0; k < m_dataShowLength && i < size; ++i, ++k) {
        const float raw = line->values.at(i);
        if (isGap(raw))
            continue;
        const double v = roundToPrec(raw, m_prec);
        const QColor c = i < colourCount ? getColorByInt(line->colors.at(i)) : lineColour;
        if (c != current) {
            pen.setColor(c);
            painter->setPen(pen);
            current = c;
        }
        const int x = ztPixel(g.unroundedCentre(k));
        painter->drawText(x, ztPixel(getY(v) + lift), line->text);
        if (tags)
            recordMaxMin(v, x);
    }
}

void ZtLineLib_Formula::Draw_eDRAWICON(QPainter* painter, const Line* line)
{
    const SlotGeometry g{m_pointW, m_drawLeft, m_barGap, m_barCentreOffset};
    const bool tags = m_drawMaxMinTag;
    const QString folder = QCoreApplication::applicationDirPath()
                           + QStringLiteral("/formulaicon/KLINE_DRAWICON_");
    QHash<int, QPixmap> icons;

    const int size = line->values.size();
    for (int i = m_dataShowIndex, k = 0; k < m_dataShowLength && i < size; ++i, ++k) {
        const float raw = line->values.at(i);
        if (isGap(raw))
            continue;
        // A missing, negative or unreadable icon ends the line.
        if (i >= line->values2.size())
            return;
        const float n = line->values2.at(i);
        if (std::isnan(n) || n < 0)
            return;
        const int key = n >= float(INT_MAX) ? INT_MAX : int(n);
        auto it = icons.find(key);
        if (it == icons.end()) {
            const QString file = folder + QString::number(double(n), 'g', 6) + QStringLiteral(".bmp");
            if (!QFileInfo::exists(file))
                return;
            it = icons.insert(key, QPixmap::fromImage(QImage(file)));
        }
        const QPixmap& icon = it.value();
        if (icon.isNull())
            return;

        const double v = roundToPrec(raw, m_prec);
        const int x = ztPixel(g.unroundedCentre(k) - icon.width() / 2);
        const int y = ztPixel(getY(v) + icon.height() / 2);
        painter->drawPixmap(x, y, icon);
        if (tags)
            recordMaxMin(v, x);
    }
}
