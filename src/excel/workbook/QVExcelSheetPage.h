#pragma once
// What the workbook writer needs of the page model of one converted page
// (QVExcelPage implements it): lay the page out as a sheet, hand over its
// shared strings, write its worksheet part, or give its tab-separated text.

#include "excel/workbook/QVExcelPartOpener.h"
#include "excel/workbook/QVExcelSharedStringItem.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QVExcelSheetPage {
public:
    virtual ~QVExcelSheetPage() = default;

    /// Lays the page out as a sheet; its text cells take the next shared-string
    /// indexes of the document (QVExcelManager::amountOfStringItems).
    virtual void creatSheet() = 0;
    /// The page's text items after creatSheet, in the order of their indexes.
    virtual std::vector<std::shared_ptr<const QVExcelSharedStringItem>>
    sharedStringItems() const = 0;
    /// Writes the page's worksheet part(s), named by their paths below
    /// "<work folder>/xl/worksheets/", through `open`, and returns the paths in
    /// sheet order; none means nothing could be written. With `tabSelected`
    /// the first part's sheet view carries tabSelected="1" (it is the
    /// workbook's first sheet); no other part does.
    virtual std::vector<std::string> writeSheetXML(const QVExcelPartOpener& open,
                                                   bool tabSelected) = 0;
    /// The same, each part a file at its path.
    std::vector<std::string> writeSheetXML(bool tabSelected) {
        return writeSheetXML(QVExcelFilePartOpener(), tabSelected);
    }
    /// The page as tab-separated text; none when the page has no text.
    virtual std::optional<std::u16string> creatCSV() = 0;
};
