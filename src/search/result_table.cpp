#include "search/result_table.h"

#include <new>

namespace search {

ResultTable::ResultTable() : m_records(kGrowthStep) {}

int ResultTable::Capacity() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_records.size());
}

ResultGroup& ResultTable::Group(int index) {
    std::lock_guard lock(m_mutex);
    return m_records[static_cast<std::size_t>(index)];
}

const ResultGroup& ResultTable::Group(int index) const {
    std::lock_guard lock(m_mutex);
    return m_records[static_cast<std::size_t>(index)];
}

bool ResultTable::Grow() {
    std::lock_guard lock(m_mutex);
    try {
        m_records.resize(m_records.size() + kGrowthStep);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

}  // namespace search
