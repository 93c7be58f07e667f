#pragma once
// Hand-built page grids for the workbook writer's tests: a page model that
// lays out cells given directly (text with rich runs, numbers with format
// codes, merged ranges) through the document's style registry and shared-string
// count, and writes a worksheet part of its own. It stands in for the page
// model that the table analysis feeds, so the package can be tested alone.

#include "excel/QVExcelManager.h"
#include "excel/QVExcelUtilities.h"
#include "excel/workbook/QVExcelPageFactory.h"
#include "excel/workbook/QVExcelStyle.h"
#include "excel/workbook/QVExcelStyleUtils.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "writer/QVHexColor.h"
#include "writer/XMLFileWriter.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <unistd.h>

namespace workbook_fixture {

struct Run {
    std::u16string text;
    double size = 11;
    bool bold = false;
    bool italic = false;
    uint32_t rgb = 0x000000;
    std::string font = "Liberation Sans";
};

struct Cell {
    uint64_t row = 1, column = 1;
    std::vector<Run> runs{};  ///< a text cell when not empty
    std::string number{};     ///< the value of a number cell
    std::string formatCode{}; ///< its custom format ("" for General)
    uint64_t rowSpan = 0, columnSpan = 0;
};

struct PageSpec {
    std::vector<Cell> cells;
    double rowHeight = 13.5;
    enum class Write { Normal, NoParts, Throw, DanglingPart } write = Write::Normal;
};

/// One shared string: an <si> with one rich-text run per Run.
class RichText : public QVExcelSharedStringItem {
public:
    explicit RichText(std::vector<Run> runs) : runs_(std::move(runs)) {}
    void writeXMLWith(XMLFileWriter& w) const override {
        w.writeStartElement("si");
        for (const Run& r : runs_) {
            w.writeStartElement("r");
            w.writeStartElement("rPr");
            w.writeStartElement("sz");
            w.writeAttribute("val", platform::formatFixed(r.size, 0));
            w.writeEndElement();
            w.writeStartElement("color");
            w.writeAttribute("rgb", QVHexColor::argbStringFromRGBValue(r.rgb));
            w.writeEndElement();
            w.writeStartElement("rFont");
            w.writeAttribute("val", r.font);
            w.writeEndElement();
            w.writeStartElement("b");
            w.writeAttribute("val", r.bold ? "1" : "0");
            w.writeEndElement();
            w.writeStartElement("i");
            w.writeAttribute("val", r.italic ? "1" : "0");
            w.writeEndElement();
            w.writeEndElement("rPr");
            w.writeStartElement("t");
            w.writeAttribute("xml:space", "preserve");
            w.writeCharacters(r.text);
            w.writeEndElement("t");
            w.writeEndElement("r");
        }
        w.writeEndElement("si");
    }

private:
    std::vector<Run> runs_;
};

struct LaidOutCell {
    uint64_t row, column;
    std::string type;  ///< "s" or "n"
    std::string value; ///< shared-string index or number
    int32_t style;
};

/// Writes a worksheet in the layout of the per-page worksheets.
inline void writeSheet(const QVExcelPartOpener& open, const std::string& path, bool tabSelected,
                       std::vector<LaidOutCell> cells, const std::vector<std::string>& merges,
                       double rowHeight) {
    std::sort(cells.begin(), cells.end(), [](const auto& a, const auto& b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
    auto writer = open(path);
    if (!writer)
        throw std::runtime_error("cannot start " + path);
    XMLFileWriter& w = *writer;
    w.writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
    w.writeStartElement("worksheet");
    w.writeAttribute("xmlns", "http://schemas.openxmlformats.org/spreadsheetml/2006/main");
    w.writeStartElement("sheetViews");
    w.writeStartElement("sheetView");
    if (tabSelected)
        w.writeAttribute("tabSelected", "1");
    w.writeAttribute("workbookViewId", "0");
    w.writeEndElement();
    w.writeEndElement();
    w.writeStartElement("sheetData");
    for (size_t i = 0; i < cells.size();) {
        const uint64_t row = cells[i].row;
        w.writeStartElement("row");
        w.writeAttribute("r", platform::formatInteger(static_cast<long long>(row)));
        w.writeAttribute("ht", platform::formatFixed(rowHeight * 1.1, 2));
        w.writeAttribute("customHeight", "1");
        for (; i < cells.size() && cells[i].row == row; ++i) {
            const LaidOutCell& c = cells[i];
            w.writeStartElement("c");
            w.writeAttribute("r", *QVExcelUtilities::getColumnName(static_cast<int64_t>(c.column)) +
                                      platform::formatInteger(static_cast<long long>(c.row)));
            w.writeAttribute("s", platform::formatInteger(c.style));
            w.writeAttribute("t", c.type);
            w.writeStartElement("v");
            w.writeCharacters(c.value);
            w.writeEndElement();
            w.writeEndElement();
        }
        w.writeEndElement("row");
    }
    w.writeEndElement();
    if (!merges.empty()) {
        w.writeStartElement("mergeCells");
        for (const std::string& m : merges) {
            w.writeStartElement("mergeCell");
            w.writeAttribute("ref", m);
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    w.writeStartElement("pageMargins");
    for (const char* edge : {"left", "right", "top", "bottom", "header", "footer"})
        w.writeAttribute(edge, "0");
    w.writeEndElement("pageMargins");
    w.writeEndElement("worksheet");
    w.writeEndDocument();
}

class GridPage : public QVExcelSheetPage {
public:
    GridPage(uint64_t pageNumber, std::string rootFolder, PageSpec spec)
        : pageNumber_(pageNumber), rootFolder_(std::move(rootFolder)), spec_(std::move(spec)) {}

    void creatSheet() override {
        auto manager = QVExcelManager::sharedInstance();
        auto style = manager->excelStyle();
        const auto algn = QVExcel_Xf_AlignmentMake("left", "center", false);
        for (const Cell& c : spec_.cells) {
            if (!c.runs.empty()) {
                const Run& first = c.runs.front();
                QVExcel_Font f;
                f.sz = first.size;
                f.name = first.font;
                f.b = first.bold;
                f.i = first.italic;
                const int32_t font =
                    style->collectFonts(std::make_shared<QVExcelStyleFont>(f, first.rgb));
                manager->setAmountOfStringItems(manager->amountOfStringItems() + 1);
                items_.push_back(std::make_shared<RichText>(c.runs));
                cells_.push_back(
                    {c.row, c.column, "s",
                     platform::formatInteger(
                         static_cast<long long>(manager->amountOfStringItems() - 1)),
                     QVExcelStyleUtils::getStyleIndexFrom(style->cellXfsArr(), font, algn)});
            } else {
                const int32_t fmt = style->collectNumberFormat(c.formatCode);
                cells_.push_back(
                    {c.row, c.column, "n", c.number,
                     QVExcelStyleUtils::getStyleIndexFrom(style->cellXfsArr(), fmt, 0, algn)});
            }
            if (c.rowSpan || c.columnSpan)
                merges_.push_back(name(c.row, c.column) + ":" +
                                  name(c.row + c.rowSpan, c.column + c.columnSpan));
        }
    }

    std::vector<std::shared_ptr<const QVExcelSharedStringItem>> sharedStringItems() const override {
        return {items_.begin(), items_.end()};
    }

    using QVExcelSheetPage::writeSheetXML;
    std::vector<std::string> writeSheetXML(const QVExcelPartOpener& open,
                                           bool tabSelected) override {
        const std::string path = rootFolder_ + "/xl/worksheets/sheet" +
                                 platform::formatInteger(static_cast<long long>(pageNumber_)) +
                                 ".xml";
        switch (spec_.write) {
        case PageSpec::Write::NoParts:
            return {};
        case PageSpec::Write::Throw:
            throw std::runtime_error("page writer failed");
        case PageSpec::Write::DanglingPart:
            if (::symlink("/nonexistent/corvala/part", path.c_str()) != 0)
                return {};
            return {path};
        case PageSpec::Write::Normal:
            break;
        }
        writeSheet(open, path, tabSelected, cells_, merges_, spec_.rowHeight);
        return {path};
    }

    std::optional<std::u16string> creatCSV() override {
        if (spec_.cells.empty())
            return std::nullopt;
        std::map<uint64_t, std::map<uint64_t, std::u16string>> grid;
        uint64_t maxRow = 0;
        for (const Cell& c : spec_.cells) {
            std::u16string text;
            for (const Run& r : c.runs)
                text += r.text;
            if (c.runs.empty())
                text.assign(c.number.begin(), c.number.end());
            grid[c.row][c.column] = text;
            maxRow = std::max(maxRow, c.row);
        }
        std::u16string out;
        for (uint64_t r = 1; r <= maxRow; ++r) {
            uint64_t column = 1;
            for (const auto& [c, text] : grid[r]) {
                out.append(c > column ? c - column : 0, u'\t');
                column = c;
                out += text;
            }
            out += u'\n';
        }
        return out;
    }

    const std::vector<LaidOutCell>& laidOutCells() const { return cells_; }
    const std::vector<std::string>& merges() const { return merges_; }
    double rowHeight() const { return spec_.rowHeight; }

private:
    static std::string name(uint64_t row, uint64_t column) {
        return *QVExcelUtilities::getColumnName(static_cast<int64_t>(column)) +
               platform::formatInteger(static_cast<long long>(row));
    }

    uint64_t pageNumber_;
    std::string rootFolder_;
    PageSpec spec_;
    std::vector<std::shared_ptr<RichText>> items_;
    std::vector<LaidOutCell> cells_;
    std::vector<std::string> merges_;
};

/// All pages in one sheet, stacked (rows follow each other) or side by side.
class GridCollector : public QVExcelSheetCollector {
public:
    explicit GridCollector(std::string rootFolder) : rootFolder_(std::move(rootFolder)) {}

    void collectPageXMLToRow(QVExcelSheetPage& page) override { collect(page, true); }
    void collectPageXMLToColumn(QVExcelSheetPage& page) override { collect(page, false); }

    using QVExcelSheetCollector::writeSheetXML;
    std::vector<std::string> writeSheetXML(const QVExcelPartOpener& open,
                                           bool tabSelected) override {
        const std::string path = rootFolder_ + "/xl/worksheets/sheet1.xml";
        writeSheet(open, path, tabSelected, cells_, {}, 13.5);
        return {path};
    }

private:
    void collect(QVExcelSheetPage& page, bool toRow) {
        auto& grid = static_cast<GridPage&>(page);
        uint64_t shift = 0;
        for (const auto& c : cells_)
            shift = std::max(shift, toRow ? c.row : c.column);
        for (LaidOutCell c : grid.laidOutCells()) {
            (toRow ? c.row : c.column) += shift;
            cells_.push_back(c);
        }
    }

    std::string rootFolder_;
    std::vector<LaidOutCell> cells_;
};

class GridFactory : public QVExcelPageFactory {
public:
    explicit GridFactory(std::vector<PageSpec> pages) : pages_(std::move(pages)) {}

    std::shared_ptr<QVExcelSheetPage> makePage(uint64_t pageNumber,
                                               const std::string& rootFolder) override {
        PageSpec spec = pageNumber - 1 < pages_.size() ? pages_[pageNumber - 1] : PageSpec{};
        return std::make_shared<GridPage>(pageNumber, rootFolder, spec);
    }
    std::unique_ptr<QVExcelSheetCollector> makeAIOSWriter(const std::string& rootFolder) override {
        return std::make_unique<GridCollector>(rootFolder);
    }

private:
    std::vector<PageSpec> pages_;
};

} // namespace workbook_fixture
