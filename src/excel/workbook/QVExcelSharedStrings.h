#pragma once
// The workbook's shared-strings part "xl/sharedStrings.xml", streamed over the
// whole document: opened when the document begins, fed each page's text items
// when the page ends, closed when the package is written. The entry written
// k-th (from 0) is the string with index k; every item handed over is written,
// repeated texts included, so the order is the contract with the worksheets.

#include "excel/workbook/QVExcelSharedStringItem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class XMLFileWriter;

class QVExcelSharedStrings {
public:
    using ItemList = std::vector<std::shared_ptr<const QVExcelSharedStringItem>>;

    /// Creates "<rootFolder>/xl" if needed, opens the part and writes its head;
    /// raises XMLWriterException when the part cannot be created.
    explicit QVExcelSharedStrings(const std::string& rootFolder);
    /// Writes the part through `writer` (a fresh one); raises XMLWriterException without one.
    explicit QVExcelSharedStrings(std::unique_ptr<XMLFileWriter> writer);
    ~QVExcelSharedStrings();
    QVExcelSharedStrings(const QVExcelSharedStrings&) = delete;
    QVExcelSharedStrings& operator=(const QVExcelSharedStrings&) = delete;

    /// The items handed over and not yet written.
    ItemList& stringItems() { return stringItems_; }
    /// Writes every waiting item in list order and empties the list.
    void writeStringItems();
    /// Writes the tail and closes the file; later calls do nothing.
    void endWrite();

    /// Items written so far: the number of shared strings the part holds.
    uint64_t writtenItemCount() const { return writtenItemCount_; }
    const std::string& xmlPath() const { return xmlPath_; }

private:
    void beginWrite();

    std::string xmlPath_;
    std::unique_ptr<XMLFileWriter> xmlWriter_;
    ItemList stringItems_;
    uint64_t writtenItemCount_ = 0;
};
