#include "ZtSpareLists.h"

#include <vector>

namespace {

constexpr size_t kMaxSpareLists = 16;

std::vector<QList<float>>& spare()
{
    static std::vector<QList<float>> lists;
    return lists;
}

// The newest spare list the predicate accepts, taken out of the pool.
template <typename Accept>
QList<float> take(Accept accept)
{
    std::vector<QList<float>>& lists = spare();
    for (size_t i = lists.size(); i-- > 0;) {
        if (accept(lists[i].size())) {
            QList<float> list = std::move(lists[i]);
            lists.erase(lists.begin() + std::ptrdiff_t(i));
            return list;
        }
    }
    return QList<float>();
}

} // namespace

void ZtSpareLists::keep(QList<float>& list)
{
    QList<float> taken;
    taken.swap(list);
    if (taken.isEmpty() || !taken.isDetached())
        return;
    std::vector<QList<float>>& lists = spare();
    if (lists.size() >= kMaxSpareLists)
        lists.erase(lists.begin()); // the oldest goes
    lists.push_back(std::move(taken));
}

QList<float> ZtSpareLists::takeExact(int size)
{
    return take([size](int n) { return n == size; });
}

QList<float> ZtSpareLists::takeEmpty(int size)
{
    // Not much larger than asked: a short line must not pin a long list.
    QList<float> list = take([size](int n) { return n >= size && n <= 2 * size; });
    if (list.isEmpty()) {
        list.reserve(size);
        return list;
    }
    // Erasing keeps the storage, clear() would free it.
    list.erase(list.begin(), list.end());
    return list;
}
