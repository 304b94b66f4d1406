#include "ZtChipDistribution.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numeric>

namespace {

// Below this the lazily applied decay factor is folded into the chips, so
// that new chips divided by it stay far from overflow.
constexpr double kRescaleBelow = 1e-200;
// Guards the running sums of the key figures against rounding.
constexpr double kSumTolerance = 1e-9;

bool hasLayers(ZtE_YDCMJS_OUT_TYPE outType)
{
    return outType == eZtYdcmOutYounger || outType == eZtYdcmOutOlder;
}

QVector<int> usablePeriods(const QVector<int>& periods)
{
    QVector<int> out;
    for (int p : periods) {
        if (out.size() == ZtChipDistribution::kMaxLayers)
            break;
        if (p > 0 && !out.contains(p))
            out.append(p);
    }
    return out;
}

} // namespace

void ZtChipDistribution::Profile::touch(int first, int last)
{
    lo = std::min(lo, first);
    hi = std::max(hi, last);
}

namespace {

// A bar with a price that is no number or beyond kMaxPrice would stretch the
// grid to millions of rows (or overflow the row count), and one without a
// number in its other fields would spoil every chip: it lays none.
bool usable(const ZtChipDistribution::Bar& b)
{
    const auto price = [](double p) { return std::abs(p) <= ZtChipDistribution::kMaxPrice; };
    return price(b.low) && price(b.high) && std::isfinite(b.average) && std::isfinite(b.close)
           && std::isfinite(b.turnover);
}

} // namespace

ZtChipDistribution::ZtChipDistribution(const QVector<Bar>& bars, ZtE_YDCMJS_CMFB_TYPE shape)
    : m_bars(bars), m_shape(shape)
{
    // The usual caller has dropped such bars already: its list is shared, not copied.
    if (!std::all_of(bars.begin(), bars.end(), usable)) {
        m_bars.clear();
        std::copy_if(bars.begin(), bars.end(), std::back_inserter(m_bars), usable);
    }
    if (m_bars.isEmpty())
        return;
    double low = m_bars.first().low;
    double high = m_bars.first().high;
    for (const Bar& b : m_bars) {
        low = std::min(low, b.low);
        high = std::max(high, b.high);
    }
    m_step = gridStep(low, high);
    m_origin = std::floor(low / m_step + 1e-9) * m_step;
    m_originLL = std::llround(m_origin * 1e5);
    m_stepLL = std::llround(m_step * 1e5);
    m_rows = int(std::llround((high - m_origin) / m_step)) + 1;
}

double ZtChipDistribution::gridStep(double low, double high)
{
    static const double kMantissas[] = {1.0, 2.0, 5.0};
    double step = kMinStep;
    for (int decade = 0; decade < 20; ++decade) {
        for (double m : kMantissas) {
            step = kMinStep * m * std::pow(10.0, decade);
            const double origin = std::floor(low / step + 1e-9) * step;
            if (std::llround((high - origin) / step) + 1 <= kMaxRows)
                return step;
        }
    }
    return step;
}

int ZtChipDistribution::rowOf(double price) const
{
    const qint64 r = std::llround((price - m_origin) / m_step);
    return int(std::clamp<qint64>(r, 0, m_rows - 1));
}

void ZtChipDistribution::layBar(int i, std::vector<double>* weights, int* first) const
{
    const Bar& b = m_bars.at(i);
    const int lo = rowOf(b.low);
    const int hi = std::max(rowOf(b.high), lo);
    weights->assign(size_t(hi - lo + 1), 1.0);
    *first = lo;
    if (m_shape != eZtYdcmUniform) {
        const double peak = std::clamp((b.average - m_origin) / m_step, double(lo), double(hi));
        for (int r = lo; r <= hi; ++r) {
            const double side = r <= peak ? peak - lo : hi - peak;
            (*weights)[size_t(r - lo)] = std::max(0.0, 1.0 - std::abs(r - peak) / (side + 1.0));
        }
    }
    double sum = 0.0;
    for (double w : *weights)
        sum += w;
    for (double& w : *weights)
        w *= b.turnover / sum;
}

ClientData::ClientDataMSG ZtChipDistribution::compute(int count, ZtE_YDCMJS_OUT_TYPE outType,
                                                      const QVector<int>& periods) const
{
    ClientData::ClientDataMSG msg;
    const int n = m_bars.size();
    if (n == 0 || m_rows <= 0)
        return msg;
    const int firstOut = n - std::clamp(count, 1, std::min(n, kMaxCount));
    const QVector<int> layers = hasLayers(outType) ? usablePeriods(periods) : QVector<int>();

    // chips = scale × held: the decay of a bar is one multiplication of
    // scale, so a bar costs only the rows of its own range.
    std::vector<double> held(size_t(m_rows), 0.0);
    double scale = 1.0;
    Profile range;
    range.lo = m_rows;
    std::vector<double> weights;
    for (int i = 0; i < n; ++i) {
        const double t = m_bars.at(i).turnover;
        if (t >= 1.0) {
            for (int r = range.lo; r <= range.hi; ++r)
                held[size_t(r)] = 0.0;
            range.lo = m_rows;
            range.hi = -1;
            scale = 1.0;
        } else if (t > 0.0) {
            scale *= 1.0 - t;
            if (scale < kRescaleBelow) {
                for (int r = range.lo; r <= range.hi; ++r)
                    held[size_t(r)] *= scale;
                scale = 1.0;
            }
        }
        if (t > 0.0) {
            int first = 0;
            layBar(i, &weights, &first);
            for (size_t k = 0; k < weights.size(); ++k)
                held[size_t(first) + k] += weights[k] / scale;
            range.touch(first, first + int(weights.size()) - 1);
        }
        if (i < firstOut)
            continue;
        Profile all = range;
        all.chips.assign(size_t(m_rows), 0.0);
        for (int r = range.lo; r <= range.hi; ++r)
            all.chips[size_t(r)] = held[size_t(r)] * scale;
        appendRecord(i, all, outType, layers, &msg);
    }
    return msg;
}

std::vector<ZtChipDistribution::Profile>
ZtChipDistribution::youngerLayers(int at, const QVector<int>& periods) const
{
    // One walk back from bar at serves every period: shorter periods are
    // copied off on the way.
    QVector<int> order(periods.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return periods.at(a) < periods.at(b); });
    std::vector<Profile> layers(size_t(periods.size()));
    Profile acc;
    acc.chips.assign(size_t(m_rows), 0.0);
    acc.lo = m_rows;
    std::vector<double> weights;
    double survived = 1.0;  // share of a chip laid at bar j still held at bar at
    int j = at;
    for (int idx : order) {
        for (; j >= 0 && at - j < periods.at(idx) && survived > 0.0; --j) {
            const double t = m_bars.at(j).turnover;
            if (t <= 0.0)
                continue;
            int first = 0;
            layBar(j, &weights, &first);
            for (size_t k = 0; k < weights.size(); ++k)
                acc.chips[size_t(first) + k] += weights[k] * survived;
            acc.touch(first, first + int(weights.size()) - 1);
            survived *= 1.0 - std::min(t, 1.0);
        }
        layers[size_t(idx)] = acc;
    }
    return layers;
}

void ZtChipDistribution::appendRecord(int at, const Profile& all, ZtE_YDCMJS_OUT_TYPE outType,
                                      const QVector<int>& periods,
                                      ClientData::ClientDataMSG* msg) const
{
    double total = 0.0;
    for (int r = all.lo; r <= all.hi; ++r)
        total += all.chips[size_t(r)];
    if (!(total > 0.0))
        return;
    const double shares = m_bars.at(at).floatShares;
    ClientData::YdcmData* d = msg->add_rdydcmdata();
    setKeyFigures(at, all, total, d);
    ClientData::YdcmSjfb* whole = d->add_rdydcmsjfb();
    whole->set_id(0);
    whole->set_share(1.0);
    appendRows(all, total, shares, whole);

    std::vector<Profile> younger = youngerLayers(at, periods);
    for (int i = 0; i < periods.size(); ++i) {
        Profile& layer = younger[size_t(i)];
        double held = 0.0;
        for (int r = layer.lo; r <= layer.hi; ++r)
            held += layer.chips[size_t(r)];
        if (outType == eZtYdcmOutOlder) {
            for (int r = all.lo; r <= all.hi; ++r) {
                const double own = r >= layer.lo && r <= layer.hi ? layer.chips[size_t(r)] : 0.0;
                layer.chips[size_t(r)] = std::max(0.0, all.chips[size_t(r)] - own);
            }
            layer.lo = all.lo;
            layer.hi = all.hi;
            held = total - std::min(held, total);
        }
        ClientData::YdcmSjfb* out = d->add_rdydcmsjfb();
        out->set_id(periods.at(i));
        out->set_share(std::min(held / total, 1.0));
        appendRows(layer, total, shares, out);
    }
}

void ZtChipDistribution::appendRows(const Profile& p, double total, double shares,
                                    ClientData::YdcmSjfb* layer) const
{
    const double floor = total * kNegligible;
    for (int r = p.lo; r <= p.hi; ++r) {
        const double v = p.chips[size_t(r)];
        if (v <= floor)
            continue;
        ClientData::YdcmJgfb* row = layer->add_rdydcmjgfb();
        row->set_price(rowPriceLL(r));
        row->set_volume(v * shares);
    }
}

void ZtChipDistribution::setKeyFigures(int at, const Profile& all, double total,
                                       ClientData::YdcmData* d) const
{
    const Bar& bar = m_bars.at(at);
    const double closeRow = std::floor((bar.close - m_origin) / m_step + 0.5);
    double profit = 0.0;
    double weighted = 0.0;
    for (int r = all.lo; r <= all.hi; ++r) {
        const double v = all.chips[size_t(r)];
        if (r <= closeRow)
            profit += v;
        weighted += v * double(rowPriceLL(r)) / 1e5;
    }
    auto priceAtShare = [&](double share) {
        const double target = share * total * (1.0 - kSumTolerance);
        double running = 0.0;
        for (int r = all.lo; r <= all.hi; ++r) {
            running += all.chips[size_t(r)];
            if (running >= target)
                return double(rowPriceLL(r)) / 1e5;
        }
        return double(rowPriceLL(all.hi)) / 1e5;
    };
    auto concentration = [](double lo, double hi) {
        return hi + lo > 0 ? (hi - lo) / (hi + lo) : 0.0;
    };
    const double p90min = priceAtShare(0.05), p90max = priceAtShare(0.95);
    const double p70min = priceAtShare(0.15), p70max = priceAtShare(0.85);
    d->set_date(bar.key);
    d->set_hlbl(std::min(profit / total, 1.0));
    d->set_pjcb(weighted / total);
    d->set_p90min(p90min);
    d->set_p90max(p90max);
    d->set_p90jzd(concentration(p90min, p90max));
    d->set_p70min(p70min);
    d->set_p70max(p70max);
    d->set_p70jzd(concentration(p70min, p70max));
}
