#include "excel/sheet/QVExcelCellFormats.h"

#include "excel/QVExcelManager.h"
#include "excel/QVExcelUtilities.h"
#include "excel/analysis/QVExcelNumber.h"
#include "excel/analysis/QVExcelRunText.h"
#include "excel/analysis/QVExcelStringItem.h"
#include "excel/workbook/QVExcelStyle.h"
#include "excel/workbook/QVExcelStyleUtils.h"

#include <cmath>

namespace {

// A spanning item whose edge lies this close (points) to its cell's edge is
// aligned to that edge.
constexpr double kEdgeTolerance = 3.0;

struct CellFont {
    std::string name;
    double size = 0;
    uint32_t color = 0;
};

CellFont cellFontOf(const QVExcelManager& manager, const QVExcelRunTextProperty& rPr) {
    CellFont font;
    font.name = manager.isNeedDefaultFontName() ? QVExcelUtilities::defaultFontName() : rPr.rFont();
    if (font.name.empty())
        font.name = QVExcelUtilities::defaultFontName();
    font.size = manager.isNeedDefaultFontSize() ? QVExcelUtilities::defaultFontSize() : rPr.sz();
    // Without cell fills, white text would be invisible on the sheet's white.
    std::optional<uint32_t> color = rPr.rgbColor();
    if (!manager.isNeedCollectFills() && (!color || *color == 0xFFFFFF))
        color = 0x000000;
    font.color = color.value_or(0x000000);
    return font;
}

int32_t registerFont(QVExcelManager& manager, const CellFont& cellFont,
                     const QVExcelRunTextProperty& rPr) {
    QVExcel_Font record;
    record.sz = cellFont.size;
    record.name = cellFont.name;
    record.b = manager.isSpecialVersion() ? false : rPr.b();
    record.i = manager.isSpecialVersion() ? false : rPr.i();
    auto font = std::make_shared<QVExcelStyleFont>(record, cellFont.color);
    return manager.excelStyle()->collectFonts(font);
}

} // namespace

int32_t QVExcelCellFormats::collectCellFont(QVExcelManager& manager,
                                            const QVExcelRunTextProperty& rPr) {
    return registerFont(manager, cellFontOf(manager, rPr), rPr);
}

int32_t QVExcelCellFormats::collectFontsWithRun(QVExcelManager& manager, QVExcelRunText& run,
                                                int32_t /*fillID*/) {
    CellFont cellFont = cellFontOf(manager, run.rPr());
    run.rPr().setRFont(cellFont.name);
    run.rPr().setSz(cellFont.size);
    run.rPr().setRgbColor(cellFont.color);
    return registerFont(manager, cellFont, run.rPr());
}

int32_t QVExcelCellFormats::getStyleIndex(QVExcelManager& manager, const QVExcelStringItem& item,
                                          const platform::Rect& cellFrame) {
    const QVExcelRunTextProperty* rPr = item.runProperty();
    const int32_t fontID = (item.isAttributeRunText() || !rPr) ? 0 : collectCellFont(manager, *rPr);

    std::string horizontal = "left";
    if (item.columnLength() > 0) {
        const auto& info = item.itemInfo();
        const double left = info.displayX();
        const double right = info.displayX() + info.displayWidth();
        if (std::fabs(left - cellFrame.origin.x) < kEdgeTolerance)
            horizontal = "left";
        else if (std::fabs(right - (cellFrame.origin.x + cellFrame.size.width)) < kEdgeTolerance)
            horizontal = "right";
        else
            horizontal = "center";
    }
    if (manager.isNeedWrapText())
        horizontal = "left";
    const std::string vertical = "center";

    // A text cell takes a format of its own kind only: no number format, no
    // fill, no border, no wrapping (a number cell's format would bring them).
    auto& formats = manager.excelStyle()->cellXfsArr();
    for (size_t k = 0; k < formats.size(); ++k) {
        const QVExcel_Xf& xf = formats[k]->formatedElm();
        if (xf.fontId == fontID && xf.alignment.horizontal == horizontal &&
            xf.alignment.vertical == vertical && xf.numFmtId == 0 && xf.fillId == 0 &&
            xf.borderId == 0 && !xf.alignment.wrapText)
            return static_cast<int32_t>(k);
    }
    QVExcel_Xf xf = QVExcelStyleXf::defaultXf();
    xf.fontId = fontID;
    xf.applyAlignment = true;
    xf.alignment = QVExcel_Xf_AlignmentMake(horizontal, vertical, false);
    formats.push_back(std::make_shared<QVExcelStyleXf>(xf));
    return static_cast<int32_t>(formats.size() - 1);
}

int32_t QVExcelCellFormats::styleIndexFrom(QVExcelManager& manager, QVExcelRunText& run,
                                           QVExcelNumber& number, int32_t fillID) {
    auto& style = *manager.excelStyle();
    if (number.numID() == -1)
        number.setNumID(style.collectNumberFormat(number.formatCode().value_or("")));
    const int32_t fontID = collectFontsWithRun(manager, run, fillID);
    const auto alignment = QVExcel_Xf_AlignmentMake("left", "center", true);
    return QVExcelStyleUtils::getStyleIndexFrom(style.cellXfsArr(), number.numID(), fontID, fillID,
                                                0, alignment);
}
