#pragma once
// What the shared-strings part needs of a cell's text item: to write itself
// as one <si> element. The string items of the worksheet pages implement it.

class XMLFileWriter;

class QVExcelSharedStringItem {
public:
    virtual ~QVExcelSharedStringItem() = default;
    /// Writes one <si> element (its rich-text runs) through the writer.
    virtual void writeXMLWith(XMLFileWriter& writer) const = 0;
};
