#pragma once
// The style registry of one spreadsheet document: number formats, fonts,
// fills, borders, cell style formats and cell formats in registration order.
// An entry's position is its index for the whole document; lists only grow,
// and registering an entry equal to one already there answers that one.
// At the end the registry writes the styles part "xl/styles.xml".

#include "excel/workbook/QVExcelStyleBorder.h"
#include "excel/workbook/QVExcelStyleFill.h"
#include "excel/workbook/QVExcelStyleFont.h"
#include "excel/workbook/QVExcelStyleNumFmt.h"
#include "excel/workbook/QVExcelStyleXf.h"
#include "platform/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class XMLFileWriter;

class QVExcelStyle {
public:
    /// Identifiers below this are Excel's built-in number formats.
    static constexpr int32_t kFirstCustomNumFmtID = 164;

    using NumFmtList = std::vector<std::shared_ptr<QVExcelStyleNumFmt>>;
    using FontList = std::vector<std::shared_ptr<QVExcelStyleFont>>;
    using FillList = std::vector<std::shared_ptr<QVExcelStyleFill>>;
    using BorderList = std::vector<std::shared_ptr<QVExcelStyleBorder>>;
    using XfList = std::vector<std::shared_ptr<QVExcelStyleXf>>;

    /// The lists with their initial entries: font 0 (the default font),
    /// fills 0 "none" and 1 "gray125", border 0, one cell style format, one cell format.
    QVExcelStyle();

    static FontList defaultFonts();
    static FillList defaultFills();
    static BorderList defaultBorders();
    static XfList defaultCellStyleXfs();
    static XfList defaultCellXfs();

    /// The identifier of the format code: the one already registered, or the
    /// lowest free identifier from 164 for a new one. An empty code is the
    /// General format, 0, and registers nothing.
    int32_t collectNumberFormat(const std::string& formatCode);
    bool existNumberFormat(int32_t numFmtID) const;
    /// The index of the first equal registered font, or of the font appended.
    int32_t collectFonts(const std::shared_ptr<QVExcelStyleFont>& font);
    /// Appends the fill unless an equal one is registered.
    void collectFills(const std::shared_ptr<QVExcelStyleFill>& fill);
    /// The first registered fill whose rectangle overlaps the cell's (edges
    /// that only touch do not count); 0 when fills are not collected or none overlaps.
    int32_t getFillIdWithCellFrame(const platform::Rect& cellFrame) const;

    /// Writes "<workFolder>/xl/styles.xml"; raises XMLWriterException when the
    /// part cannot be created or written.
    void writeStyleTo(const std::string& workFolder) const;
    /// Writes the styles part, declaration included, through `writer` and ends the document.
    void writeStyle(XMLFileWriter& writer) const;

    NumFmtList& numFmtsArr() { return numFmtsArr_; }
    const NumFmtList& numFmtsArr() const { return numFmtsArr_; }
    FontList& fontsArr() { return fontsArr_; }
    const FontList& fontsArr() const { return fontsArr_; }
    FillList& fillsArr() { return fillsArr_; }
    const FillList& fillsArr() const { return fillsArr_; }
    BorderList& bordersArr() { return bordersArr_; }
    const BorderList& bordersArr() const { return bordersArr_; }
    XfList& cellStyleXfsArr() { return cellStyleXfsArr_; }
    const XfList& cellStyleXfsArr() const { return cellStyleXfsArr_; }
    /// The cell-format operations of the per-document state search and append here.
    XfList& cellXfsArr() { return cellXfsArr_; }
    const XfList& cellXfsArr() const { return cellXfsArr_; }

    // The sections of the styles part, in the order writeStyleTo writes them.
    void writeNumFmts(XMLFileWriter& writer) const;
    void writeFonts(XMLFileWriter& writer) const;
    void writeFills(XMLFileWriter& writer) const;
    void writeBorders(XMLFileWriter& writer) const;
    void writeCellStyleXfs(XMLFileWriter& writer) const;
    void writeCellXfs(XMLFileWriter& writer) const;
    /// Named cell styles: only the built-in "Normal" style.
    void writeCellStyles(XMLFileWriter& writer) const;
    void writeDXfs(XMLFileWriter& writer) const;
    void writeTableStyles(XMLFileWriter& writer) const;

private:
    NumFmtList numFmtsArr_;
    FontList fontsArr_;
    // Registered fonts by comparison key, first index kept, so a cell's font
    // is found without comparing it with every font of the document; the
    // entries fontsArr() gained from outside are indexed on the next call.
    std::unordered_map<std::string, int32_t> fontIndex_;
    size_t fontsIndexed_ = 0;
    // The font last found or added: cell after cell asks for the same one.
    size_t lastFont_ = SIZE_MAX;
    FillList fillsArr_;
    BorderList bordersArr_;
    XfList cellStyleXfsArr_;
    XfList cellXfsArr_;
};
