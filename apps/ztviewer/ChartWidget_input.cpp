// Mouse and keys of the chart: crosshair, drag, wheel zoom and the keys
// that move the window.

#include "ChartWidget.h"

#include "PaneWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <cmath>

bool ChartWidget::eventFilter(QObject* watched, QEvent* event)
{
    auto* pane = qobject_cast<PaneWidget*>(watched);
    if (!pane || !m_panes.contains(pane))
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        mouseMoved(pane, e->pos(), e->buttons());
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::LeftButton)
            mousePressed(pane, e->pos());
        setFocus();
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_dragX = -1;
        return true;
    case QEvent::Wheel: {
        auto* e = static_cast<QWheelEvent*>(event);
        // One notch is 120; a notch up shows fewer, wider items.
        const int steps = e->angleDelta().y() / 120;
        zoom(steps);
        return true;
    }
    case QEvent::Leave:
        mouseLeft();
        return false;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void ChartWidget::mousePressed(PaneWidget* pane, QPoint pos)
{
    m_dragX = pos.x();
    m_dragFirst = m_first;
    setCrosshair(pane->itemAt(pos.x()), pane, pos.y());
}

void ChartWidget::mouseMoved(PaneWidget* pane, QPoint pos, Qt::MouseButtons buttons)
{
    if ((buttons & Qt::LeftButton) && m_dragX >= 0 && !isIntraday()) {
        // Dragging right brings earlier items in: the window moves by the
        // items the mouse crossed.
        const double w = pane->pointWidth();
        if (w > 0)
            setWindow(m_dragFirst - int(std::lround((pos.x() - m_dragX) / w)), m_count);
    }
    setCrosshair(pane->itemAt(pos.x()), pane, pos.y());
    pane->setHoverPoint(pos);
}

void ChartWidget::mouseLeft()
{
    for (PaneWidget* p : m_panes)
        p->setHoverPoint(QPoint(-1, -1));
}

void ChartWidget::keyPressEvent(QKeyEvent* event)
{
    const bool page = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
    case Qt::Key_Left:
        scrollBy(page ? -m_count / 2 : -1);
        break;
    case Qt::Key_Right:
        scrollBy(page ? m_count / 2 : 1);
        break;
    case Qt::Key_PageUp:
        scrollBy(-m_count / 2);
        break;
    case Qt::Key_PageDown:
        scrollBy(m_count / 2);
        break;
    case Qt::Key_Up:
        zoom(1);
        break;
    case Qt::Key_Down:
        zoom(-1);
        break;
    case Qt::Key_Home:
        home();
        break;
    case Qt::Key_End:
        end();
        break;
    case Qt::Key_BracketLeft:
        cycleLowestPane(-1);
        break;
    case Qt::Key_BracketRight:
        cycleLowestPane(1);
        break;
    case Qt::Key_Escape:
        setCrosshair(-1);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}
