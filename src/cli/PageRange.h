#pragma once
// Page lists from range texts such as "1-3,5", read the way the desktop app's
// custom page range reads them: parts split at ",", "a-b" counts up or down,
// numbers outside 1..pageCount are dropped, order and repeats are kept.
#include <cstdint>
#include <string>
#include <vector>

std::vector<int64_t> pagesFromRangeText(const std::string& text, int64_t pageCount);
/// 1..pageCount.
std::vector<int64_t> allPages(int64_t pageCount);
