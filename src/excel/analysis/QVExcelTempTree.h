#pragma once
// The nodes of the table analysis, flat: one list holds a page's runs, and
// every row or column group is a stretch of it. Dividing a group reorders its
// stretch so that its chains follow each other and adds one node per chain,
// the chains of one group as consecutive nodes; merging moves the runs that
// remain to the front of the stretch and shortens it. So a page's analysis
// allocates a handful of lists, not several per run.

#include "excel/analysis/QVExcelSortUtilities.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class QVExcelStackRule;

class QVExcelTempTree {
public:
    using RunList = QVExcelSortUtilities::RunList;
    using RunPtr = std::shared_ptr<QVExcelRunText>;
    using Chain = QVExcelSortUtilities::Chain;
    struct Node {
        uint32_t begin = 0, end = 0;           // the group's runs: runs()[begin, end)
        uint32_t firstChild = 0, children = 0; // its chains: nodes [firstChild, +children)
    };

    /// A tree of one node, the root, holding `runs`.
    explicit QVExcelTempTree(RunList runs);

    static constexpr uint32_t kRoot = 0;
    const Node& node(uint32_t n) const { return nodes_[n]; }
    std::span<RunPtr> runsOf(uint32_t n) {
        return std::span<RunPtr>(runs_).subspan(nodes_[n].begin, nodes_[n].end - nodes_[n].begin);
    }
    std::span<const RunPtr> runsOf(uint32_t n) const {
        return std::span<const RunPtr>(runs_).subspan(nodes_[n].begin,
                                                      nodes_[n].end - nodes_[n].begin);
    }

    /// Divides the node's runs into chains, which become its children (a
    /// node divided again loses the children it had).
    void divide(uint32_t n, Chain chain);
    /// Merges the node's runs by a merge chain; only the merged runs remain.
    void merge(uint32_t n, Chain chain, const QVExcelStackRule* rule = nullptr);

    /// Calls f(run) for every run below the node, depth first.
    template <class F> void forEachRun(uint32_t n, F&& f) const {
        const Node& at = nodes_[n];
        if (at.children == 0) {
            for (const RunPtr& r : runsOf(n))
                f(r);
            return;
        }
        for (uint32_t c = at.firstChild; c < at.firstChild + at.children; ++c)
            forEachRun(c, f);
    }

private:
    RunList runs_;
    std::vector<Node> nodes_;
    std::vector<uint32_t> lengths_;
    QVExcelSortUtilities::Scratch scratch_;
};
