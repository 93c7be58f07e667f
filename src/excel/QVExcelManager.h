#pragma once
// The state of one spreadsheet conversion that every layer of the spreadsheet
// output reaches through sharedInstance(): the document's spreadsheet options
// and the switches derived from them, the thousand separator, the style
// registry and the document-wide count of shared strings.
//
// One live manager per process (one conversion runs at a time): the driver
// obtains it and hands it the options, the exporter's begin resets it, and
// destory() ends it when the exporter goes, so the next document gets a new one.

#include "converter/QVExcelOptions.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class QVExcelStyle;

class QVExcelManager {
public:
    /// A manager with an empty style registry and the separator ",". Use sharedInstance().
    QVExcelManager();
    ~QVExcelManager();
    QVExcelManager(const QVExcelManager&) = delete;
    QVExcelManager& operator=(const QVExcelManager&) = delete;

    /// The live manager, created first when none is live.
    static std::shared_ptr<QVExcelManager> sharedInstance();
    /// Shared-string count 0 and a new, empty style registry; nothing when none is live.
    static void reset();
    /// Ends the live manager; the next sharedInstance() makes a new one.
    static void destory();

    /// Stores the options (shared, not copied); the separator becomes "." when
    /// the options' thousandSepartor is 1, else ",".
    void setOptions(std::shared_ptr<QVExcelOptions> options);

    // Switches, with F the options' excelFormatOption (missing options read as F = 0,
    // every flag off).
    bool isNeedValidNumbers() const;     ///< F != 2
    bool isNeedDefaultFontName() const;  ///< F == 2
    bool isNeedDefaultFontSize() const;  ///< F != 0
    bool isNeedDefaultRowHeight() const; ///< F != 0
    bool isNeedWrapText() const;         ///< F == 0
    bool isNeedMergeCells() const;       ///< F == 0
    bool isSpecialVersion() const;       ///< F == 2
    bool isNeedCollectCGPaths() const;
    bool isNeedCollectFills() const; ///< collectCGPaths and collectFills
    bool isAllInOneSheetEnabled() const;
    bool isAllInOneSheetAddToRow() const;

    /// True when every character is U+0020 (the empty text included).
    static bool isBlankSpace(std::u16string_view text);

    const std::string& thousandSepartor() const { return thousandSepartor_; }
    void setThousandSepartor(std::string v) { thousandSepartor_ = std::move(v); }
    const std::shared_ptr<QVExcelOptions>& excelOptions() const { return excelOptions_; }
    void setExcelOptions(std::shared_ptr<QVExcelOptions> v) { excelOptions_ = std::move(v); }
    const std::shared_ptr<QVExcelStyle>& excelStyle() const { return excelStyle_; }
    void setExcelStyle(std::shared_ptr<QVExcelStyle> v) { excelStyle_ = std::move(v); }
    /// Shared strings made so far in the document; a text cell's index is the
    /// count after counting it, less one.
    uint64_t amountOfStringItems() const { return amountOfStringItems_; }
    void setAmountOfStringItems(uint64_t v) { amountOfStringItems_ = v; }

private:
    uint64_t formatOption() const;

    std::string thousandSepartor_ = ",";
    std::shared_ptr<QVExcelOptions> excelOptions_;
    std::shared_ptr<QVExcelStyle> excelStyle_;
    uint64_t amountOfStringItems_ = 0;
};
