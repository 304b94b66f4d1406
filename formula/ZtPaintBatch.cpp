// The drawing kit of the pane's painters: what the batches do once a run
// of primitives is drawn.

#include "ZtPaintBatch.h"

namespace zt {

QRect deviceArea(QPainter* painter)
{
    const QPaintDevice* d = painter->device();
    if (!d)
        return QRect();
    const QTransform& t = painter->transform();
    return QRect(0, 0, d->width(), d->height()).translated(-int(t.dx()), -int(t.dy()));
}

void fillSolid(QPainter* painter, const QColor& colour, const QRect* rects, int count)
{
    const QPen pen = painter->pen();
    const QBrush brush = painter->brush();
    painter->setPen(Qt::NoPen);
    painter->setBrush(colour);
    painter->drawRects(rects, count);
    painter->setBrush(brush);
    painter->setPen(pen);
}

void PrimitiveBatch::flush()
{
    if (isEmpty())
        return;
    if (!m_solid.isEmpty())
        fillSolid(m_painter, m_pen.color(), m_solid.constData(), m_solid.size());
    m_painter->setPen(m_pen);
    if (!m_lines.isEmpty())
        m_painter->drawLines(m_lines.constData(), m_lines.size());
    if (!m_linesF.isEmpty())
        m_painter->drawLines(m_linesF.constData(), m_linesF.size());
    if (!m_outlines.isEmpty() || m_solidOutlines) {
        // Hollow bodies stay hollow whatever brush an earlier painter
        // left behind.
        m_painter->setBrush(Qt::NoBrush);
        if (!m_outlines.isEmpty())
            m_painter->drawRects(m_outlines.constData(), m_outlines.size());
    }
    m_lines.clear();
    m_linesF.clear();
    m_outlines.clear();
    m_solid.clear();
    m_solidOutlines = false;
}

void BatchOrder::settleColumn()
{
    if (m_column.isEmpty())
        return;
    Rows covered;
    for (int i = m_column.size() - 1; i >= 0; --i)
        visible(m_column.at(i), &covered);
    m_settledRight = std::max(m_settledRight, m_column.last().x + 1);
    m_column.clear();
}

void BatchOrder::drawPieces()
{
    for (Pieces& p : m_pieces) {
        if (!p.rects.isEmpty())
            fillSolid(m_painter, QColor::fromRgba(p.colour), p.rects.constData(), p.rects.size());
        p.rects.clear();
    }
    m_settledRight = INT_MIN;
}

void BatchOrder::addPiece(const Stick& s, int top, int bottom)
{
    auto it = std::find_if(m_pieces.begin(), m_pieces.end(),
                           [&](const Pieces& p) { return p.colour == s.colour; });
    if (it == m_pieces.end()) {
        m_pieces.push_back({s.colour, {}});
        it = m_pieces.end() - 1;
    }
    it->rects.append(QRect(s.x, top, 1, bottom - top + 1));
    // Pieces are disjoint: one colour may go out before the others.
    if (it->rects.size() == 512) {
        fillSolid(m_painter, QColor::fromRgba(s.colour), it->rects.constData(), it->rects.size());
        it->rects.clear();
    }
}

void BatchOrder::visible(const Stick& s, Rows* covered)
{
    int from = s.top;
    for (const auto& c : *covered) {
        if (c.second < from)
            continue;
        if (c.first > s.bottom)
            break;
        if (c.first > from)
            addPiece(s, from, c.first - 1);
        from = std::max(from, c.second + 1);
    }
    if (from <= s.bottom)
        addPiece(s, from, s.bottom);

    Rows merged;
    QPair<int, int> add(s.top, s.bottom);
    bool placed = false;
    for (const auto& c : *covered) {
        if (c.second + 1 < add.first) {
            merged.append(c);
        } else if (add.second + 1 < c.first) {
            if (!placed)
                merged.append(add);
            placed = true;
            merged.append(c);
        } else {
            add.first = std::min(add.first, c.first);
            add.second = std::max(add.second, c.second);
        }
    }
    if (!placed)
        merged.append(add);
    *covered = merged;
}

int widthUpTo(int left, int width, double drawRight)
{
    // In doubles: a huge left or an infinite edge must not overflow; when
    // nothing is left the width is 0, which the painters skip.
    const double excess = double(left) + width - 1 - drawRight;
    if (!(excess > 0))
        return width;
    return excess >= width ? 0 : width - int(std::ceil(excess));
}

} // namespace zt
