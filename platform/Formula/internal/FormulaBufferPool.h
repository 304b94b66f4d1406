#pragma once

#include <memory>
#include <vector>

// Recycles the series buffers of evaluations. A chart re-evaluates the same
// formula over the same bars again and again; fresh buffers of that size
// come straight from the system and every page of them faults on first
// touch, which costs more than the arithmetic. Buffers go back to a small
// per-thread free list when their last holder lets go.
template <class T>
class FormulaBufferPool
{
public:
    using Buffer = std::shared_ptr<std::vector<T>>;

    // A buffer of n elements with unspecified contents.
    static Buffer acquire(size_t n)
    {
        std::vector<std::unique_ptr<std::vector<T>>>& free = freeList();
        std::vector<T>* v = nullptr;
        if (!free.empty()) {
            v = free.back().release();
            free.pop_back();
        } else {
            v = new std::vector<T>;
        }
        v->resize(n);
        return Buffer(v, [](std::vector<T>* b) { recycle(b); });
    }

private:
    static constexpr size_t kMaxKept = 24;
    // Buffers beyond this many elements (a few million bars) are returned to
    // the system rather than kept.
    static constexpr size_t kMaxKeptSize = size_t(1) << 22;

    static std::vector<std::unique_ptr<std::vector<T>>>& freeList()
    {
        thread_local std::vector<std::unique_ptr<std::vector<T>>> list;
        return list;
    }

    static void recycle(std::vector<T>* b)
    {
        std::unique_ptr<std::vector<T>> owned(b);
        std::vector<std::unique_ptr<std::vector<T>>>& free = freeList();
        if (free.size() < kMaxKept && b->capacity() <= kMaxKeptSize)
            free.push_back(std::move(owned));
    }
};
