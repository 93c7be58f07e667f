#pragma once
// One PDF of the source list: where it is, its password, its settings
// (output format title, page range, spreadsheet options), where its output
// went, and the texts the list shows for it.

#include "converter/QVPDFOptions.h"
#include "platform/QVError.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QVSourceFileItem {
public:
    /// None when nothing exists at the path (a folder counts as existing).
    static std::shared_ptr<QVSourceFileItem> create(const std::string& path);
    /// A file gives one item; a folder one item for each entry directly in
    /// it that is not a folder (sorted by name, hidden ones included);
    /// nothing there, or a folder that cannot be listed, gives none.
    static std::vector<std::shared_ptr<QVSourceFileItem>>
    CreateSourceItemsOfFileOrDirectoryAtPath(const std::string& path);

    /// Title -> format key, and title -> icon name, for the five titles the
    /// settings panel offers.
    static std::map<std::string, std::string> docFormatTypeDictionary();
    static std::map<std::string, std::string> docFormatIconDictionary();
    /// The size text of any file; "" when nothing is there.
    static std::string FileSizeAtPath(const std::string& path);

    explicit QVSourceFileItem(std::string path);

    void setupDefaults();
    /// Also stored as the format of the next new item.
    void setSettings_outputFormat(const std::string& title);
    /// Apply to all: the format and four spreadsheet options of `other`
    /// (data structure, thousand separator, one sheet, pages as rows).
    void setWithFileItem(const QVSourceFileItem& other);

    uint64_t fileSize() const;
    std::string fileSizeString() const;
    /// Page count with the item's password, cached once above 0; 0 when the
    /// document cannot be opened.
    int64_t sourcePages();
    /// Caches a page count the caller read from the document opened with the
    /// item's current password, so sourcePages need not open it again.
    void rememberSourcePages(int64_t count) { pageCount_ = count > 0 ? count : 0; }
    /// "icon_pdf_pw" for a locked document, else "icon_pdf".
    std::string sourceFileIcon() const;
    /// "12 Pages, 1.5 MB".
    std::string sourceInfo();
    /// "1-3,5, XLSX, Success!" and the like: Ready before a conversion,
    /// Success only after an end report without error with the output on
    /// disk, Failed otherwise.
    std::string conversionOptions() const;
    std::optional<std::string> outputFileIcon() const;
    bool outputFileIconEnable() const;
    /// The format key of the title; "xlsx" for a title no table knows.
    std::string outputFileFormat() const;
    /// The first free "<name>.<key>" in the output folder, reserved on disk
    /// (an empty file, or an empty folder for csv) so no one else takes it,
    /// and stored as outputPath; none, clearing outputPath, when the output
    /// folder is unknown or the name cannot be reserved.
    std::optional<std::string> newOutputPath();
    /// Removes what newOutputPath reserved if nothing was written into it.
    void releaseOutputReservation() const;
    std::vector<int64_t> outputPDFPageIndexs();

    const std::string& sourcePath() const { return sourcePath_; }
    void setSourcePath(std::string v) { sourcePath_ = std::move(v); }
    const std::optional<std::string>& sourcePassword() const { return sourcePassword_; }
    void setSourcePassword(std::optional<std::string> v) {
        sourcePassword_ = std::move(v);
        pageCount_ = 0;
    }
    const std::optional<std::string>& outputPath() const { return outputPath_; }
    void setOutputPath(std::optional<std::string> v) { outputPath_ = std::move(v); }
    const std::string& settings_outputFormat() const { return settings_outputFormat_; }
    int64_t settings_pageRangeType() const { return settings_pageRangeType_; }
    void setSettings_pageRangeType(int64_t v) { settings_pageRangeType_ = v; }
    const std::string& settings_customPageRange() const { return settings_customPageRange_; }
    void setSettings_customPageRange(std::string v) { settings_customPageRange_ = std::move(v); }
    /// The error of the last end report (none after success).
    const std::optional<QVError>& conversionError() const { return conversionError_; }
    /// Records the end report of a conversion.
    void setConversionError(std::optional<QVError> v) {
        conversionError_ = std::move(v);
        hasEndReport_ = true;
    }
    const QVPDFOptions& convertOpts() const { return convertOpts_; }
    QVPDFOptions& convertOpts() { return convertOpts_; }
    void setConvertOpts(QVPDFOptions v) { convertOpts_ = std::move(v); }
    /// A folder for this item's output instead of the stored output folder
    /// (the command line writes next to each source unless told otherwise).
    const std::optional<std::string>& outputFolder() const { return outputFolder_; }
    void setOutputFolder(std::optional<std::string> v) { outputFolder_ = std::move(v); }

private:
    int64_t pageCount_ = 0;
    std::string sourcePath_;
    std::optional<std::string> sourcePassword_;
    std::optional<std::string> outputPath_;
    std::string settings_outputFormat_;
    int64_t settings_pageRangeType_ = 0;
    std::string settings_customPageRange_;
    std::optional<QVError> conversionError_;
    bool hasEndReport_ = false;
    QVPDFOptions convertOpts_;
    std::optional<std::string> outputFolder_;
};
