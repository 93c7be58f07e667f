#include "excel/workbook/QVExcelStyleTypes.h"

#include "excel/workbook/QVExcelStyleFont.h"
#include "writer/XMLFileWriter.h"

bool QVExcel_FontIsEqual(const QVExcel_Font& a, const QVExcel_Font& b) {
    // Names that are the same bytes are written alike; only others need the
    // written forms compared.
    return QVExcelStyleFont::writtenSizeValue(a.sz) == QVExcelStyleFont::writtenSizeValue(b.sz) &&
           (a.name == b.name ||
            XMLFileWriter::sanitizedText(a.name) == XMLFileWriter::sanitizedText(b.name));
}

QVExcel_Xf_Alignment QVExcel_Xf_AlignmentMake(const std::optional<std::string>& horizontal,
                                              const std::optional<std::string>& vertical,
                                              bool wrapText) {
    QVExcel_Xf_Alignment a;
    a.horizontal = horizontal;
    a.vertical = vertical;
    a.wrapText = wrapText;
    return a;
}

bool QVExcel_Xf_AlignmentIsEqual(const QVExcel_Xf_Alignment& a, const QVExcel_Xf_Alignment& b) {
    return a.horizontal && b.horizontal && *a.horizontal == *b.horizontal && a.vertical &&
           b.vertical && *a.vertical == *b.vertical && a.wrapText == b.wrapText;
}
