#include "ChartWidget.h"

#include "ChartData.h"
#include "PaneCatalog.h"
#include "PaneWidget.h"
#include "TimeAxisWidget.h"

#include <ZtLineLibTheme.h>

#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// The side that carries the prices starts this wide and grows to the widest
// tag (prices on the right of daily bars, on the left of intraday minutes);
// the other side keeps a stub or the percent tags.
constexpr double kValueSide = 64;
constexpr double kIntradayValueSide = 56;
constexpr double kQuietSide = 4;

} // namespace

ChartWidget::ChartWidget(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setHandleWidth(3);
    m_splitter->setChildrenCollapsible(false);
    layout->addWidget(m_splitter, 1);
}

ChartWidget::~ChartWidget()
{
    // The panes point into the data; they go first.
    clearPanes();
}

QList<ChartWidget::Type> ChartWidget::indicatorTypes()
{
    using F = ZtLineLib_Formula;
    QList<Type> types = {F::eFT_VOL, F::eFT_MACD, F::eFT_KDJ, F::eFT_RSI, F::eFT_BOLL,
                         F::eFT_BIAS, F::eFT_CCI, F::eFT_CR, F::eFT_VR, F::eFT_WR,
                         F::eFT_DMA, F::eFT_MTM, F::eFT_AB, F::eFT_MA};
    // User formulas of the store follow the classic ones.
    for (const TagFormularContent& c : F::m_dformulaManage.contents()) {
        const Type t = F::userFormulaType(QString::fromStdString(c.texts[0]));
        if (F::isUserFormulaType(t))
            types.append(t);
    }
    return types;
}

bool ChartWidget::isIntraday() const
{
    return m_data && m_data->isDLine();
}

int ChartWidget::total() const
{
    return m_data ? m_data->count() : 0;
}

void ChartWidget::clearPanes()
{
    for (PaneWidget* p : m_panes)
        delete p;
    m_panes.clear();
    delete m_timeAxis;
    m_timeAxis = nullptr;
}

PaneWidget* ChartWidget::createPane(Type type, bool main)
{
    auto* pane = new PaneWidget(m_data.get(), type, main);
    pane->setFont(font());
    pane->installEventFilter(this);
    pane->setLogScale(m_logScale);
    pane->setPaddings(m_paddingLeft, m_paddingRight);
    m_splitter->addWidget(pane);
    m_splitter->setStretchFactor(m_splitter->indexOf(pane), main ? 3 : 1);
    m_panes.append(pane);
    return pane;
}

void ChartWidget::distributeHeights()
{
    // The price chart takes three shares, every lower pane one; the
    // splitter scales these weights to its height.
    QList<int> sizes;
    for (PaneWidget* p : m_panes)
        sizes.append(p->isMain() ? 300 : 100);
    m_splitter->setSizes(sizes);
}

void ChartWidget::setChartData(std::unique_ptr<ChartData> data, const QList<Type>& lowerPanes)
{
    clearPanes();
    m_data = std::move(data);
    if (!m_data)
        return;
    m_paddingLeft = isIntraday() ? kIntradayValueSide : kQuietSide;
    m_paddingRight = kValueSide;
    using F = ZtLineLib_Formula;
    PaneWidget* main = createPane(isIntraday() ? F::eFT_DLINE : F::eFT_KLINE, true);
    if (!isIntraday())
        main->setOverlays({F::eFT_MA});
    for (Type t : lowerPanes)
        createPane(t, false);
    distributeHeights();
    m_timeAxis = new TimeAxisWidget(m_data.get(), this);
    m_timeAxis->setFont(font());
    m_timeAxis->setPaddings(m_paddingLeft, m_paddingRight);
    layout()->addWidget(m_timeAxis);
    m_crossIndex = -1;
    m_windowReset = true;
    resetWindow();
}

QList<ChartWidget::Type> ChartWidget::lowerPaneTypes() const
{
    QList<Type> types;
    for (int i = 1; i < m_panes.size(); ++i)
        types.append(m_panes.at(i)->type());
    return types;
}

void ChartWidget::addPane(Type type)
{
    if (!m_data)
        return;
    createPane(type, false);
    distributeHeights();
    applyWindow();
}

void ChartWidget::removeLastPane()
{
    if (m_panes.size() <= 1)
        return;
    delete m_panes.takeLast();
}

void ChartWidget::setLowestPaneType(Type type)
{
    if (m_panes.size() <= 1) {
        addPane(type);
        return;
    }
    m_panes.last()->setType(type);
    fitPaddings();
}

void ChartWidget::cycleLowestPane(int step)
{
    if (m_panes.size() <= 1 || isIntraday())
        return;
    const QList<Type> types = indicatorTypes();
    const int at = std::max(0, int(types.indexOf(m_panes.last()->type())));
    const int next = ((at + step) % types.size() + types.size()) % types.size();
    m_panes.last()->setType(types.at(next));
    fitPaddings();
}

void ChartWidget::setLogScale(bool on)
{
    m_logScale = on;
    for (PaneWidget* p : m_panes)
        p->setLogScale(on);
    fitPaddings();
}

int ChartWidget::fittingCount() const
{
    const double band = width() - m_paddingLeft - m_paddingRight;
    return std::max(kMinCount, int(band / kComfortableItemWidth));
}

void ChartWidget::resetWindow()
{
    if (!m_data)
        return;
    // An intraday chart always shows its whole days; a K-line chart starts
    // with the last items that fit comfortably.
    if (isIntraday()) {
        setWindow(0, total());
        return;
    }
    const int count = fittingCount();
    setWindow(total() - count, count);
}

void ChartWidget::setWindow(int first, int count)
{
    const int n = total();
    if (n <= 0)
        return;
    count = std::clamp(count, std::min(kMinCount, n), n);
    first = std::clamp(first, 0, n - count);
    m_first = first;
    m_count = count;
    // Scrolling and zooming move the window over unchanged records.
    applyWindow(true);
}

void ChartWidget::quoteArrived(int index, bool appended)
{
    if (!m_data)
        return;
    const int n = total();
    const bool following = m_first + m_count >= (appended ? n - 1 : n);
    for (PaneWidget* p : m_panes)
        p->recordsArrived(index, appended);
    if (isIntraday()) {
        // An intraday chart shows its whole days.
        m_first = 0;
        m_count = n;
    } else if (following) {
        m_first = std::max(0, n - m_count);
    }
    applyWindow(true);
}

void ChartWidget::applyWindow(bool dataUnchanged)
{
    for (PaneWidget* p : m_panes)
        p->setWindow(m_first, m_count, dataUnchanged);
    fitPaddings();
    if (m_timeAxis)
        m_timeAxis->setWindow(m_first, m_count);
    if (m_crossIndex >= 0)
        setCrosshair(std::clamp(m_crossIndex, m_first, m_first + m_count - 1));
}

void ChartWidget::fitPaddings()
{
    // All panes share one band, so the widest tag of any pane sets the
    // price side for all of them.
    double side = isIntraday() ? kIntradayValueSide : kValueSide;
    for (PaneWidget* p : m_panes)
        side = std::max(side, p->mainTagPadding());
    const double left = isIntraday() ? side : kQuietSide;
    const double right = isIntraday() ? kValueSide : side;
    if (left == m_paddingLeft && right == m_paddingRight)
        return;
    m_paddingLeft = left;
    m_paddingRight = right;
    for (PaneWidget* p : m_panes)
        p->setPaddings(left, right);
    if (m_timeAxis)
        m_timeAxis->setPaddings(left, right);
}

void ChartWidget::zoom(int steps)
{
    if (isIntraday() || steps == 0)
        return;
    // Each step changes the count by a fifth, keeping the last shown item.
    const double factor = std::pow(0.8, steps);
    int count = int(std::lround(m_count * factor));
    if (count == m_count)
        count += steps > 0 ? -1 : 1;
    const int last = m_first + m_count;
    setWindow(last - std::max(count, 1), count);
}

void ChartWidget::scrollBy(int items)
{
    if (!isIntraday())
        setWindow(m_first + items, m_count);
}

void ChartWidget::home()
{
    if (!isIntraday())
        setWindow(0, m_count);
}

void ChartWidget::end()
{
    if (!isIntraday())
        setWindow(total() - m_count, m_count);
}

void ChartWidget::setCrosshair(int index, PaneWidget* pane, int mouseY)
{
    m_crossIndex = index;
    for (PaneWidget* p : m_panes)
        p->setCrosshair(index, p == pane ? mouseY : -1);
    if (m_timeAxis)
        m_timeAxis->setCrosshair(index, m_panes.isEmpty() ? nullptr : m_panes.first()->formulaPane());
}

void ChartWidget::refresh()
{
    applyWindow();
    for (QWidget* w : findChildren<QWidget*>())
        w->update();
    update();
}

void ChartWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The first window is chosen once the width is known.
    if (m_windowReset && width() > 100) {
        m_windowReset = false;
        resetWindow();
    }
}
