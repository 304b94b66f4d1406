#include "TimeAxisWidget.h"

#include "ChartData.h"
#include "PaneWidget.h"

#include <DQDUnionReader.h>
#include <ZtLineCrossCurve.h>
#include <ZtLineLibTheme.h>
#include <ZtLineLib_Scaleplate.h>

#include <QPainter>

#include <algorithm>

using namespace ZtUIDataStruct;

namespace {

constexpr int kSlotsPerDay = 241;
constexpr int kAuctionSlots = 15;

} // namespace

TimeAxisWidget::TimeAxisWidget(ChartData* data, QWidget* parent)
    : QWidget(parent)
    , m_data(data)
    , m_axis(new ZtLineLib_Scaleplate)
    , m_cross(new ZtLineCrossCurve)
{
    setFixedHeight(kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    configure();
    m_cross->setCroMouseEnable(true);
    m_cross->appendScaleplate(m_axis.get());
}

TimeAxisWidget::~TimeAxisWidget() = default;

void TimeAxisWidget::configure()
{
    m_axis->setData(m_data->charted());
    m_axis->setIsDLine(m_data->isDLine());
    if (!m_data->isDLine()) {
        m_axis->setDateFormat(QStringLiteral("MM"));
        m_axis->setMastDateFormat(QStringLiteral("yyyy"));
        return;
    }
    // Minutes get fixed labels: the session times of one day, or the date at
    // the start of each day.
    const int days = std::max(m_data->days(), 1);
    m_axis->setTagDateFormat(days > 1 ? QStringLiteral("MM-dd HH:mm") : QStringLiteral("HH:mm"));
    if (days > 1) {
        m_axis->setFixedAlignment(1);
        for (int d = 0; d < days; ++d) {
            const DQDUnionReader* r = m_data->charted()->at(d * kSlotsPerDay);
            const QString day = r ? QString::number(r->uniqueKey() / 1000000 % 10000).rightJustified(4, QLatin1Char('0'))
                                  : QString();
            *m_axis << (day.left(2) + QLatin1Char('-') + day.mid(2)) << d * kSlotsPerDay;
        }
        return;
    }
    const int lead = m_data->auction() ? kAuctionSlots : 0;
    if (lead)
        *m_axis << QStringLiteral("09:15") << 0;
    const char* times[] = {"09:30", "10:30", "11:30/13:00", "14:00", "15:00"};
    for (int i = 0; i < 5; ++i)
        *m_axis << QString::fromLatin1(times[i]) << lead + i * 60;
}

void TimeAxisWidget::place()
{
    // The axis picture starts at the top of its painter, so its rectangle
    // starts at 0 in the strip's own coordinates.
    m_axis->setRect(QRectF(0, 0, width(), height()));
    m_axis->setFixedPaddingLeft(PaneWidget::paddingLeft(m_data->isDLine()));
    m_axis->setFixedPaddingRight(PaneWidget::kPaddingRight);
}

void TimeAxisWidget::setWindow(int first, int count)
{
    m_first = first;
    m_count = count;
    place();
    if (count > 0)
        m_axis->setRange(first, count);
    update();
}

void TimeAxisWidget::setCrosshair(int index, ZtLineLib_Formula* layout)
{
    m_crossIndex = index;
    m_layout = layout;
    update();
}

void TimeAxisWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    setWindow(m_first, m_count);
}

void TimeAxisWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    painter.fillRect(rect(), getThemePen(QStringLiteral("Background")).color());
    if (m_count <= 0)
        return;
    // The strip is its own widget, so its painter already stands at the
    // strip's top: the translation a single-canvas host needs is implicit.
    m_axis->Fill(&painter);
    if (m_crossIndex >= 0 && m_layout)
        m_cross->Fill(&painter, QPoint(0, -1), m_crossIndex, m_layout);
}
