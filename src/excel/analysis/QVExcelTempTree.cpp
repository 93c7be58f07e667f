#include "excel/analysis/QVExcelTempTree.h"

using U = QVExcelSortUtilities;

QVExcelTempTree::QVExcelTempTree(RunList runs) : runs_(std::move(runs)) {
    // Each level holds each run at most once, and the analysis goes four
    // levels deep below the page.
    nodes_.reserve(4 * runs_.size() + 1);
    nodes_.push_back({0, static_cast<uint32_t>(runs_.size()), 0, 0});
}

void QVExcelTempTree::divide(uint32_t n, Chain chain) {
    lengths_.clear();
    U::divideInPlace(runsOf(n), chain, nullptr, lengths_, scratch_);
    const auto first = static_cast<uint32_t>(nodes_.size());
    uint32_t begin = nodes_[n].begin;
    for (uint32_t length : lengths_) {
        nodes_.push_back({begin, begin + length, 0, 0});
        begin += length;
    }
    nodes_[n].firstChild = first;
    nodes_[n].children = static_cast<uint32_t>(lengths_.size());
}

void QVExcelTempTree::merge(uint32_t n, Chain chain, const QVExcelStackRule* rule) {
    const size_t kept = U::mergeInPlace(runsOf(n), chain, rule, lengths_, scratch_);
    nodes_[n].end = nodes_[n].begin + static_cast<uint32_t>(kept);
}
