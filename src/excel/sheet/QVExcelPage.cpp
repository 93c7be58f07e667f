#include "excel/sheet/QVExcelPage.h"

#include "excel/QVExcelManager.h"
#include "excel/analysis/QVExcelNumber.h"
#include "excel/sheet/QVExcelCellFormats.h"
#include "excel/workbook/QVExcelStyle.h"
#include "pdf/QVPDFPathUtilities.h"
#include "pdf/content/QVPDFTextCharacters.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/pdf/PdfBudgetExceeded.h"

#include <algorithm>
#include <limits>
#include <map>
#include <set>
#include <utility>

namespace {

// Smallest row height (points) and column width (points) of a laid-out sheet.
constexpr double kMinRowHeight = 13.5;
constexpr double kMinColumnWidth = 20.0;
// Column widths are sized for 12-point text; larger text narrows a column
// proportionally when cells are not merged.
constexpr double kBaseFontSize = 12.0;

using Cell = std::pair<uint64_t, uint64_t>; // row, column

bool isBlankText(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), QVPDF_IsWhitespaceCharacter);
}

// A cell's text without the blanks at its edges: runs of blanks only take no
// part in it (a number beside such a run is still one run), and the first
// run's leading and the last run's trailing blanks are layout, not content.
void trimCellBlanks(QVExcelStringItem& item) {
    auto& runs = item.textRuns();
    std::erase_if(runs, [](const auto& run) { return isBlankText(run->text()); });
    if (runs.empty())
        return;
    const std::u16string& first = runs.front()->text();
    const auto lead = static_cast<size_t>(
        std::find_if_not(first.begin(), first.end(), QVPDF_IsWhitespaceCharacter) - first.begin());
    if (lead > 0)
        runs.front()->keepText(lead, first.size() - lead);
    const std::u16string& last = runs.back()->text();
    const auto trail = static_cast<size_t>(
        std::find_if_not(last.rbegin(), last.rend(), QVPDF_IsWhitespaceCharacter) - last.rbegin());
    if (trail > 0)
        runs.back()->keepText(0, last.size() - trail);
}

// The tab-separated text of one page, in UTF-16 units: a dense table page
// needs some kilobytes; this holds 32 MB.
constexpr uint64_t kMaxCSVPageLength = uint64_t(16) << 20;

// Comparisons with planned ranges one page may make: a sound page has a few
// merged headers; a hostile one with thousands of ranges, each grown cell by
// cell, stops growing them here (what is planned stays sound).
constexpr size_t kMaxMergePlanningWork = 50'000'000;

/// Shrinks the spans of the items so that their merged ranges never overlap
/// each other and never cover another item's cell: a range first reaches as
/// far right along its own row as it may, then down as many whole rows as
/// are free. Earlier items keep priority. Items whose span shrinks to nothing
/// lose it; the ranges of the others are returned, in item order.
std::vector<QVMergedCell> planMergedRanges(const QVExcelPage::ItemList& items) {
    std::map<uint64_t, std::set<uint64_t>> occupied; // row -> columns holding an item
    for (const auto& item : items)
        occupied[item->rowIndex()].insert(item->columnIndex());

    std::vector<QVMergedCell> ranges;
    size_t work = 0;
    auto stripIsFree = [&](uint64_t row, uint64_t firstColumn, uint64_t lastColumn) {
        auto it = occupied.find(row);
        if (it != occupied.end()) {
            auto column = it->second.lower_bound(firstColumn);
            if (column != it->second.end() && *column <= lastColumn)
                return false;
        }
        work += ranges.size() + 1;
        if (work > kMaxMergePlanningWork)
            return false;
        QVMergedCell strip(QVPoint(row, firstColumn), QVPoint(row, lastColumn));
        return std::none_of(ranges.begin(), ranges.end(),
                            [&](const QVMergedCell& r) { return r.isCross(strip); });
    };

    for (const auto& item : items) {
        if (item->rowLength() == 0 && item->columnLength() == 0)
            continue;
        const uint64_t row = item->rowIndex();
        const uint64_t column = item->columnIndex();
        uint64_t lastColumn = column;
        while (lastColumn < column + item->columnLength() &&
               stripIsFree(row, lastColumn + 1, lastColumn + 1))
            ++lastColumn;
        uint64_t lastRow = row;
        while (lastRow < row + item->rowLength() && stripIsFree(lastRow + 1, column, lastColumn))
            ++lastRow;
        item->setColumnLength(lastColumn - column);
        item->setRowLength(lastRow - row);
        if (lastRow != row || lastColumn != column)
            ranges.emplace_back(QVPoint(row, column), QVPoint(lastRow, lastColumn));
    }
    return ranges;
}

/// CSV cell text: quoted when it holds a character that a reader could take
/// for structure (tab, line break, quotation mark) or that comma- and
/// semicolon-separated readers split on.
std::u16string quotedCSVText(const std::u16string& text) {
    if (text.find_first_of(u"\t\r\n\",;") == std::u16string::npos)
        return text;
    std::u16string quoted = u"\"";
    for (char16_t c : text) {
        if (c == u'"')
            quoted += u'"';
        quoted += c;
    }
    quoted += u'"';
    return quoted;
}

} // namespace

QVExcelPage::QVExcelPage(uint64_t pageNumber, const std::string& rootFolder)
    : pageNumber_(pageNumber) {
    if (platform::splitExtension(rootFolder).second == "xlsx") {
        QVPDFPathUtilities::createFolderIfNeed(rootFolder + "/xl");
        QVPDFPathUtilities::createFolderIfNeed(rootFolder + "/xl/worksheets");
    }
    sheetXMLPath_ = rootFolder + "/xl/worksheets/sheet" +
                    platform::formatInteger(static_cast<long long>(pageNumber)) + ".xml";
}

bool QVExcelPage::string(std::u16string_view text, std::u16string_view search) {
    return text.find(search) != std::u16string_view::npos;
}

QVExcelPage::ItemList QVExcelPage::getStringItemsFromRuns() const {
    // The runs by cell, each cell's in run order; the cells then in the
    // order of their first runs.
    std::vector<std::pair<Cell, size_t>> byCell;
    byCell.reserve(allRunTextArray_.size());
    for (size_t i = 0; i < allRunTextArray_.size(); ++i) {
        const auto& run = allRunTextArray_[i];
        if (run->rowIndex() != 0 && run->columnIndex() != 0)
            byCell.push_back({{run->rowIndex(), run->columnIndex()}, i});
    }
    std::sort(byCell.begin(), byCell.end());
    struct Group {
        size_t firstRun, begin, end; // byCell[begin, end)
    };
    std::vector<Group> groups;
    for (size_t b = 0; b < byCell.size();) {
        size_t e = b + 1;
        while (e < byCell.size() && byCell[e].first == byCell[b].first)
            ++e;
        groups.push_back({byCell[b].second, b, e});
        b = e;
    }
    std::sort(groups.begin(), groups.end(),
              [](const Group& a, const Group& b) { return a.firstRun < b.firstRun; });
    ItemList items;
    items.reserve(groups.size());
    for (const Group& g : groups) {
        auto item = std::make_shared<QVExcelStringItem>();
        item->setRowIndex(byCell[g.begin].first.first);
        item->setColumnIndex(byCell[g.begin].first.second);
        item->textRuns().reserve(g.end - g.begin);
        for (size_t k = g.begin; k < g.end; ++k)
            item->textRuns().push_back(allRunTextArray_[byCell[k].second]);
        items.push_back(std::move(item));
    }
    std::erase_if(items, [](const auto& item) {
        return std::all_of(item->textRuns().begin(), item->textRuns().end(), [](const auto& run) {
            return QVExcelManager::isBlankSpace(run->text());
        });
    });
    for (const auto& item : items)
        trimCellBlanks(*item);
    std::erase_if(items, [](const auto& item) { return item->textRuns().empty(); });
    return items;
}

std::shared_ptr<QVExcelCell>
QVExcelPage::createCellWithStringItem(const std::shared_ptr<QVExcelStringItem>& item) {
    auto cell = std::make_shared<QVExcelCell>();
    cell->setStringItem(item);
    auto manager = QVExcelManager::sharedInstance();
    if (manager->isNeedValidNumbers() && item->textRuns().size() == 1) {
        const auto& run = item->textRuns().front();
        QVExcelNumber number = QVExcelNumber::initWithNumberString(run->text(), run->pieceStarts());
        if (number.isNumber()) {
            const int32_t fill =
                manager->excelStyle()->getFillIdWithCellFrame(item->itemInfo().textBoxRect());
            cell->setCellValue(number.readNumber());
            cell->setDataType("n");
            cell->setStyleIndex(static_cast<uint32_t>(
                QVExcelCellFormats::styleIndexFrom(*manager, *run, number, fill)));
            return cell;
        }
    }
    stringItems_.push_back(item);
    manager->setAmountOfStringItems(manager->amountOfStringItems() + 1);
    cell->setCellValue(
        platform::formatInteger(static_cast<long long>(manager->amountOfStringItems() - 1)));
    cell->setIsText(true);
    return cell;
}

platform::Rect QVExcelPage::getCellFrame(const QVExcelCell& cell) const {
    // Columns stand in ascending order of number.
    const uint64_t first = cell.columnIndex();
    const uint64_t last = first + cell.stringItem()->columnLength();
    auto it = std::lower_bound(
        sheet_.columns.begin(), sheet_.columns.end(), first,
        [](const auto& column, uint64_t number) { return column->columnIndex() < number; });
    double x = 0, width = 0;
    if (it != sheet_.columns.end() && (*it)->columnIndex() == first)
        x = (*it)->frame().origin.x;
    for (; it != sheet_.columns.end() && (*it)->columnIndex() <= last; ++it)
        width += (*it)->frame().size.width;
    return platform::Rect{{x, 0}, {width, 0}};
}

void QVExcelPage::creatSheet() {
    typesetRunTexts();
    layOutSheet();
}

void QVExcelPage::layOutSheet() {
    auto manager = QVExcelManager::sharedInstance();
    const bool merge = manager->isNeedMergeCells();
    sheet_ = QVExcelSheetModel{};

    ItemList items = getStringItemsFromRuns();
    if (items.empty())
        return;
    for (const auto& item : items)
        item->calculatStringItemInfo();
    if (merge)
        sheet_.mergeCells = planMergedRanges(items);

    std::vector<std::shared_ptr<QVExcelCell>> cells;
    cells.reserve(items.size());
    for (const auto& item : items)
        cells.push_back(createCellWithStringItem(item));

    // Rows, in ascending order of number; a number without cells has no row.
    std::map<uint64_t, std::vector<std::shared_ptr<QVExcelCell>>> byRow, byColumn;
    for (const auto& cell : cells) {
        byRow[cell->rowIndex()].push_back(cell);
        byColumn[cell->columnIndex()].push_back(cell);
    }
    for (auto& [number, rowCells] : byRow) {
        double top = std::numeric_limits<double>::max();
        double bottom = 0.0;
        for (const auto& cell : rowCells) {
            const auto& info = cell->stringItem()->itemInfo();
            top = std::min(top, info.displayY());
            if (cell->stringItem()->rowLength() == 0)
                bottom = std::max(bottom, info.displayY() + info.displayHeight());
        }
        auto row = std::make_shared<QVExcelRow>();
        row->cells() = std::move(rowCells);
        row->setRowIndex(number);
        row->setFrame({{0, top}, {0, std::max(bottom - top, kMinRowHeight)}});
        row->sortCellsByColumn();
        sheet_.sheetRows.push_back(row);
    }
    for (auto& [number, columnCells] : byColumn) {
        double left = std::numeric_limits<double>::max();
        double right = 0.0;
        double widest = 0.0;
        double fontSize = kBaseFontSize;
        for (const auto& cell : columnCells) {
            const auto& item = *cell->stringItem();
            const auto& info = item.itemInfo();
            left = std::min(left, info.displayX());
            if (item.columnLength() == 0)
                right = std::max(right, info.displayX() + info.displayWidth());
            if (info.displayWidth() > widest) {
                widest = info.displayWidth();
                fontSize = std::max(fontSize, item.maxFontSize());
            }
        }
        double width = std::max(right - left, kMinColumnWidth);
        if (!merge)
            width = std::max(kBaseFontSize / fontSize * width, kMinColumnWidth);
        auto column = std::make_shared<QVExcelColumn>();
        column->cells() = std::move(columnCells);
        column->setColumnIndex(number);
        column->setFrame({{left, 0}, {width, 0}});
        sheet_.columns.push_back(column);
    }

    for (const auto& cell : cells)
        if (cell->isText())
            cell->setStyleIndex(static_cast<uint32_t>(QVExcelCellFormats::getStyleIndex(
                *manager, *cell->stringItem(), getCellFrame(*cell))));

    if (!merge) {
        // Close the gaps left by numbers whose runs were all blank.
        uint64_t next = 1;
        for (const auto& row : sheet_.sheetRows)
            row->setRowIndex(next++);
        next = 1;
        for (const auto& column : sheet_.columns)
            column->setColumnIndex(next++);
    }
}

size_t QVExcelPage::sheetCount() const {
    return QVExcelSheetXML::sheetCount(sheet_, maxRows_, maxColumns_);
}

std::vector<std::shared_ptr<const QVExcelSharedStringItem>> QVExcelPage::sharedStringItems() const {
    return {stringItems_.begin(), stringItems_.end()};
}

std::vector<std::string> QVExcelPage::writeSheetXML(const QVExcelPartOpener& open,
                                                  bool tabSelected) {
    const bool defaultRowHeight = QVExcelManager::sharedInstance()->isNeedDefaultRowHeight();
    auto parts = QVExcelSheetXML::splitToLimits(sheet_, maxRows_, maxColumns_);
    std::vector<std::string> written;
    for (size_t k = 0; k < parts.size(); ++k) {
        std::string path = sheetXMLPath_;
        if (k > 0)
            path = platform::splitExtension(sheetXMLPath_).first + "_" +
                   platform::formatInteger(static_cast<long long>(k + 1)) + ".xml";
        if (!QVExcelSheetXML::writeWorksheet(open, path, parts[k], tabSelected && k == 0,
                                             defaultRowHeight))
            break;
        written.push_back(path);
    }
    return written;
}

std::optional<std::u16string> QVExcelPage::creatCSV() {
    typesetRunTexts();
    return csvText();
}

std::optional<std::u16string> QVExcelPage::csvText() {
    ItemList items = getStringItemsFromRuns();
    if (items.empty())
        return std::nullopt;
    std::map<uint64_t, ItemList> byRow;
    uint64_t lastRow = 0;
    for (const auto& item : items) {
        byRow[item->rowIndex()].push_back(item);
        lastRow = std::max(lastRow, item->rowIndex());
    }
    std::u16string text;
    // A sparse grid written densely grows with rows times columns: a page
    // whose text would pass the limit fails instead of exhausting memory.
    auto reserve = [&text](uint64_t more) {
        if (more > kMaxCSVPageLength || text.size() > kMaxCSVPageLength - more)
            throw platform::PdfBudgetExceeded(
                "The page's tab-separated text would be longer than " +
                std::to_string(kMaxCSVPageLength) + " characters.");
    };
    for (uint64_t r = 1; r <= lastRow; ++r) {
        auto it = byRow.find(r);
        if (it != byRow.end()) {
            auto& rowItems = it->second;
            std::stable_sort(rowItems.begin(), rowItems.end(), [](const auto& a, const auto& b) {
                return a->columnIndex() < b->columnIndex();
            });
            uint64_t cursor = 1;
            bool first = true;
            for (const auto& item : rowItems) {
                const uint64_t column = item->columnIndex();
                if (column > cursor) {
                    reserve(column - cursor);
                    text.append(column - cursor, u'\t');
                } else if (!first) {
                    text += u'\t';
                }
                cursor = std::max(cursor, column);
                const std::u16string cell = quotedCSVText(item->content());
                reserve(cell.size() + 1);
                text += cell;
                first = false;
            }
        }
        reserve(1);
        text += u'\n';
    }
    return text;
}
