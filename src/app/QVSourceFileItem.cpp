#include "app/QVSourceFileItem.h"

#include "app/QVCPDFUtilities.h"
#include "app/QVCUtilities.h"
#include "app/QVPageRange.h"
#include "app/QVSandBoxUtilities.h"
#include "app/QVUserDefaults.h"
#include "app/ScratchArea.h"
#include "converter/QVPDFConverter.h"
#include "pdf/QVPDFPathUtilities.h"
#include "platform/Files.h"
#include "platform/pdf/PdfDocument.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr const char* kOutputFormatKey = "settings_outputFormat";
constexpr const char* kFormatStyleKey = "settings_excel_formatStyle";
constexpr const char* kDefaultFormatTitle = "Microsoft Excel(.xlsx)";
} // namespace

std::shared_ptr<QVSourceFileItem> QVSourceFileItem::create(const std::string& path) {
    if (path.empty() || !platform::pathExists(path))
        return nullptr;
    return std::make_shared<QVSourceFileItem>(path);
}

std::vector<std::shared_ptr<QVSourceFileItem>>
QVSourceFileItem::CreateSourceItemsOfFileOrDirectoryAtPath(const std::string& path) {
    std::vector<std::shared_ptr<QVSourceFileItem>> items;
    if (!platform::pathExists(path))
        return items;
    if (!platform::isDirectory(path)) {
        if (auto item = create(path))
            items.push_back(item);
        return items;
    }
    std::vector<std::string> entries;
    std::error_code ec;
    std::filesystem::directory_iterator it(path, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const std::string entry = it->path().string();
        if (platform::pathExists(entry) && !platform::isDirectory(entry))
            entries.push_back(entry);
    }
    // Name order, so a folder converts the same way on every machine.
    std::sort(entries.begin(), entries.end());
    for (const std::string& entry : entries)
        if (auto item = create(entry))
            items.push_back(item);
    return items;
}

std::map<std::string, std::string> QVSourceFileItem::docFormatTypeDictionary() {
    return {{"Microsoft Excel(.xlsx)", "xlsx"},
            {"Comma-Separated Values(.csv)", "csv"},
            {"UTF-8 Plain Text(.txt)", "txt"},
            {"Rich Text File(.rtf)", "rtf"},
            {"Web Source File(.html)", "html"}};
}

std::map<std::string, std::string> QVSourceFileItem::docFormatIconDictionary() {
    return {{"Microsoft Excel(.xlsx)", "icon_xlsx"},
            {"Comma-Separated Values(.csv)", "icon_csv"},
            {"UTF-8 Plain Text(.txt)", "icon_txt"},
            {"Rich Text File(.rtf)", "icon_rtf"},
            {"Web Source File(.html)", "icon_html"}};
}

std::string QVSourceFileItem::FileSizeAtPath(const std::string& path) {
    return QVCUtilities::StringFileSizeAtPath(path);
}

QVSourceFileItem::QVSourceFileItem(std::string path) : sourcePath_(std::move(path)) {
    setupDefaults();
}

void QVSourceFileItem::setupDefaults() {
    pageCount_ = 0;
    outputPath_.reset();
    conversionError_.reset();
    hasEndReport_ = false;
    settings_outputFormat_ = QVCUtilities::stringValueForKey(kOutputFormatKey, kDefaultFormatTitle);
    settings_pageRangeType_ = 0;
    settings_customPageRange_ = "All Pages";
    convertOpts_ = QVPDFOptions();
    const int64_t style = QVCUtilities::integerValueForKey(kFormatStyleKey, 0);
    convertOpts_.excelOptions()->setExcelFormatOption(static_cast<uint64_t>(std::max<int64_t>(style, 0)));
}

void QVSourceFileItem::setSettings_outputFormat(const std::string& title) {
    settings_outputFormat_ = title;
    QVUserDefaults& d = QVUserDefaults::standardUserDefaults();
    d.setObject(kOutputFormatKey, title);
    d.synchronize();
}

void QVSourceFileItem::setWithFileItem(const QVSourceFileItem& other) {
    setSettings_outputFormat(other.settings_outputFormat());
    const QVExcelOptions& from = *other.convertOpts().excelOptions();
    QVExcelOptions& to = *convertOpts_.excelOptions();
    to.setExcelFormatOption(from.excelFormatOption());
    to.setThousandSepartor(from.thousandSepartor());
    to.setAiosAddToRow(from.aiosAddToRow());
    to.setAllInOneSheet(from.allInOneSheet());
}

uint64_t QVSourceFileItem::fileSize() const {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(sourcePath_, ec))
        return 0;
    const auto size = std::filesystem::file_size(sourcePath_, ec);
    return ec ? 0 : size;
}

std::string QVSourceFileItem::fileSizeString() const { return QVCUtilities::sizeText(fileSize()); }

int64_t QVSourceFileItem::sourcePages() {
    if (pageCount_ > 0)
        return pageCount_;
    if (auto doc = QVCPDFUtilities::initPDFDocumentAtPath(sourcePath_, sourcePassword_))
        pageCount_ = static_cast<int64_t>(doc->pageCount());
    return pageCount_;
}

std::string QVSourceFileItem::sourceFileIcon() const {
    return QVCPDFUtilities::isPDFDocumentLockedAtPath(sourcePath_) ? "icon_pdf_pw" : "icon_pdf";
}

std::string QVSourceFileItem::sourceInfo() {
    return std::to_string(sourcePages()) + " Pages, " + fileSizeString();
}

std::string QVSourceFileItem::conversionOptions() const {
    const std::string range = settings_pageRangeType_ == 1 ? settings_customPageRange_ : "All Pages";
    std::string format = outputFileFormat();
    for (char& c : format)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string status = "Ready!";
    if (outputPath_ && !outputPath_->empty()) {
        // A name reserved for an output that never came, or an output left
        // by a failed run, is no success: the end report decides.
        const bool ok = hasEndReport_ && !conversionError_ && platform::pathExists(*outputPath_);
        status = ok ? "Success!" : "Failed!";
    }
    return range + ", " + format + ", " + status;
}

std::optional<std::string> QVSourceFileItem::outputFileIcon() const {
    auto icons = docFormatIconDictionary();
    auto it = icons.find(settings_outputFormat_);
    if (it == icons.end())
        return std::nullopt;
    return it->second;
}

bool QVSourceFileItem::outputFileIconEnable() const {
    return outputPath_ && !outputPath_->empty() && platform::pathExists(*outputPath_);
}

std::string QVSourceFileItem::outputFileFormat() const {
    auto types = docFormatTypeDictionary();
    if (auto it = types.find(settings_outputFormat_); it != types.end())
        return it->second;
    // The driver's table also names the formats the panel does not offer.
    for (const auto& [key, title] : QVPDFConverter::supportDocTypes())
        if (title == settings_outputFormat_)
            return key;
    return "xlsx";
}

std::optional<std::string> QVSourceFileItem::newOutputPath() {
    outputPath_.reset();
    conversionError_.reset();
    hasEndReport_ = false;
    const std::optional<std::string> folder =
        outputFolder_ ? outputFolder_ : QVSandBoxUtilities::UserSelectedOutputURLBookmark();
    if (!folder || folder->empty())
        return std::nullopt;
    const std::string format = outputFileFormat();
    std::string stem = platform::splitExtension(platform::lastPathComponent(sourcePath_)).first;
    if (stem.empty())
        stem = "Untitled";
    const std::string wanted = platform::appendPathComponent(*folder, stem + "." + format);
    outputPath_ = format == "csv" ? QVPDFPathUtilities::getNewFolderPathby(wanted, " ")
                                  : QVPDFPathUtilities::getNewPathby(wanted, " ");
    return outputPath_;
}

void QVSourceFileItem::releaseOutputReservation() const {
    if (outputPath_ && !outputPath_->empty())
        ScratchArea::releaseReservation(*outputPath_);
}

std::vector<int64_t> QVSourceFileItem::outputPDFPageIndexs() {
    const int64_t n = sourcePages();
    if (settings_pageRangeType_ == 0)
        return QVPageRange::allPages(n);
    if (settings_pageRangeType_ == 1)
        return QVPageRange::pagesFromText(settings_customPageRange_, n);
    return {};
}
