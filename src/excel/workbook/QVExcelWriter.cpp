#include "excel/workbook/QVExcelWriter.h"

#include "excel/QVExcelManager.h"
#include "excel/QVExcelUtilities.h"
#include "excel/workbook/QVExcelStyle.h"
#include "pdf/QVPDFPathUtilities.h"
#include "platform/AppInfo.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/Uuid.h"
#include "writer/QVDeflatedPart.h"
#include "writer/QVOpenXMLNameSpace.h"
#include "writer/QVZipArchive.h"
#include "writer/XMLFileWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

#include <unistd.h>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

const char* kRelsNS = "http://schemas.openxmlformats.org/package/2006/relationships";
const char* kRelOfficeDocument =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
const char* kRelCoreProperties =
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties";
const char* kRelExtendedProperties =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties";
const char* kRelTheme = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/theme";
const char* kRelStyles =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
const char* kRelSharedStrings =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings";
const char* kContentTypesNS = "http://schemas.openxmlformats.org/package/2006/content-types";
const char* kExtendedPropertiesNS =
    "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties";
const char* kWorksheetContentType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";

const char* kSharedStringsPart = "xl/sharedStrings.xml";
const char* kStylesPart = "xl/styles.xml";
const char* kThemePart = "xl/theme/theme1.xml";
const char* kWorkbookPart = "xl/workbook.xml";
const char* kWorkbookRelsPart = "xl/_rels/workbook.xml.rels";
const char* kRootRelsPart = "_rels/.rels";
const char* kContentTypesPart = "[Content_Types].xml";
const char* kAppPart = "docProps/app.xml";
const char* kCorePart = "docProps/core.xml";

/// A failure of the package that ends the document with an error.
class WriterFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string decimal(long long v) {
    return platform::formatInteger(v);
}

std::string padded(long long v, size_t width) {
    std::string s = decimal(v);
    if (s.size() < width)
        s.insert(0, width - s.size(), '0');
    return s;
}

// W3CDTF with seconds in UTC: 2024-03-05T14:07:09Z.
std::string w3cdtf(std::chrono::system_clock::time_point when) {
    const std::time_t t = std::chrono::system_clock::to_time_t(when);
    std::tm tm{};
    if (!gmtime_r(&t, &tm))
        return "1970-01-01T00:00:00Z";
    const long long year = std::min(std::max(tm.tm_year + 1900LL, 0LL), 9999LL);
    return padded(year, 4) + "-" + padded(tm.tm_mon + 1, 2) + "-" + padded(tm.tm_mday, 2) + "T" +
           padded(tm.tm_hour, 2) + ":" + padded(tm.tm_min, 2) + ":" + padded(tm.tm_sec, 2) + "Z";
}

std::string reasonWithErrno(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// Passes an entry's bytes on and notes the entry as finished once it closed well.
class RecordingOutput : public XMLOutput {
public:
    RecordingOutput(std::unique_ptr<XMLOutput> inner, std::function<void()> done)
        : inner_(std::move(inner)), done_(std::move(done)) {}
    bool write(std::string_view bytes) override { return inner_->write(bytes); }
    bool close() override {
        if (!inner_->close())
            return false;
        done_();
        return true;
    }

private:
    std::unique_ptr<XMLOutput> inner_;
    std::function<void()> done_;
};

void textElementNS(XMLFileWriter& w, std::string_view ns, std::string_view name,
                   std::string_view text) {
    w.writeStartElementWithNamespace(ns, name);
    w.writeCharacters(text);
    w.writeEndElementWithNamespace(ns, name);
}

} // namespace

QVExcelWriter::Format QVExcelWriter::formatForDocType(const std::string& destDocType) {
    return destDocType == "csv" ? Format::Csv : Format::Xlsx;
}

QVExcelWriter::QVExcelWriter(const std::string& path, int64_t numOfPages, Format format,
                             std::shared_ptr<QVExcelPageFactory> pageFactory)
    : savedFilePath_(path), format_(format), pageFactory_(std::move(pageFactory)) {
    // The work folder is named after the output, with the extension of the
    // format actually written (the later steps read the format from it).
    const std::string stem = platform::splitExtension(platform::lastPathComponent(path)).first;
    const std::string name = (stem.empty() ? std::string("Workbook") : stem) +
                             (format_ == Format::Xlsx ? ".xlsx" : ".csv");
    const std::string scratch = QVPDFPathUtilities::tempFolder();
    if (!QVPDFPathUtilities::createFolderIfNeed(scratch))
        throw std::runtime_error(reasonWithErrno("Could not create the work folder " + scratch));
    auto folder = QVPDFPathUtilities::getNewFolderPathby(scratch + "/" + name);
    if (!folder)
        throw std::runtime_error(reasonWithErrno("Could not create a work folder in " + scratch));
    savedWorkFolder_ = *folder;

    auto manager = QVExcelManager::sharedInstance();
    allInOneSheet_ = manager->isAllInOneSheetEnabled();
    addToRow_ = manager->isAllInOneSheetAddToRow();
    totalSheetPages_ = allInOneSheet_ ? 1 : static_cast<uint64_t>(std::max<int64_t>(numOfPages, 0));

    if (format_ == Format::Xlsx) {
        if (!platform::createDirectories(savedWorkFolder_ + "/xl/worksheets"))
            throw std::runtime_error(
                reasonWithErrno("Could not create " + savedWorkFolder_ + "/xl/worksheets"));
        // The package itself, filled as the pages end; a hidden name, so it is
        // never taken for a part of the folder's layout.
        archivePath_ = savedWorkFolder_ + "/.package.zip";
        archive_ = std::make_unique<QVZipArchive>();
        if (!archive_->CreateZipFile2(archivePath_))
            throw std::runtime_error(reasonWithErrno("Could not create the package " + archivePath_));
        sharedStringsPart_ = std::make_unique<QVDeflatedPart>(savedWorkFolder_ + "/" +
                                                              kSharedStringsPart + ".deflated");
        sharedStrings_ = std::make_unique<QVExcelSharedStrings>(XMLFileWriter::initWithOutput(
            savedWorkFolder_ + "/" + kSharedStringsPart, sharedStringsPart_->output()));
        if (allInOneSheet_ && pageFactory_)
            aiosWriter_ = pageFactory_->makeAIOSWriter(savedWorkFolder_);
    }
}

QVExcelWriter::~QVExcelWriter() {
    // A package that did not reach the output (failure, cancel) goes with the writer.
    sharedStrings_.reset();
    archive_.reset();
    if (!archivePath_.empty())
        ::unlink(archivePath_.c_str());
}

QVExcelPartOpener QVExcelWriter::partOpener() {
    return [this](const std::string& path) -> std::unique_ptr<XMLFileWriter> {
        const std::string prefix = savedWorkFolder_ + "/";
        if (!archive_ || path.size() <= prefix.size() ||
            path.compare(0, prefix.size(), prefix) != 0)
            return nullptr;
        std::string part = path.substr(prefix.size());
        // A pinned date (SOURCE_DATE_EPOCH, an injected clock) dates these
        // entries as it dates the rest; otherwise they carry the moment written.
        std::optional<std::time_t> date = platform::sourceDateEpoch();
        if (clock_ && *clock_)
            date = std::chrono::system_clock::to_time_t((*clock_)());
        archive_->setFixedEntryDate(date);
        auto entry = archive_->entryOutput(part);
        if (!entry)
            return nullptr;
        return XMLFileWriter::initWithOutput(
            path, std::make_unique<RecordingOutput>(std::move(entry), [this, part] {
                completedParts_.insert(part);
            }));
    };
}

void QVExcelWriter::fail(const std::string& reason) {
    if (failureReason_.empty())
        failureReason_ = reason;
}

void QVExcelWriter::begainWriteDocument() {
    excelRelationships_.clear();
    sheetIdsList_.clear();
    currentPageIndex_ = 0;
}

void QVExcelWriter::begainWritePage(platform::Size) {
    ++currentPageIndex_;
    currentPage_ =
        pageFactory_ ? pageFactory_->makePage(currentPageIndex_, savedWorkFolder_) : nullptr;
}

void QVExcelWriter::recordSheetParts(const std::vector<std::string>& paths,
                                     const std::string& what) {
    const std::string prefix = savedWorkFolder_ + "/";
    if (paths.empty()) {
        fail("The worksheet of " + what + " could not be written");
        throw WriterFailure(failureReason_);
    }
    for (const std::string& p : paths) {
        const bool inside = p.size() > prefix.size() && p.compare(0, prefix.size(), prefix) == 0;
        const std::string part = inside ? p.substr(prefix.size()) : p;
        const bool known =
            std::find(sheetParts_.begin(), sheetParts_.end(), part) != sheetParts_.end();
        if (!inside || known || completedParts_.count(part) == 0) {
            fail("The worksheet " + p + " of " + what + " is not a new part of the workbook");
            throw WriterFailure(failureReason_);
        }
        sheetParts_.push_back(part);
    }
}

void QVExcelWriter::endWritePage() {
    if (!currentPage_)
        return;
    const std::shared_ptr<QVExcelSheetPage> page = currentPage_;
    const std::string what = "page " + decimal(static_cast<long long>(currentPageIndex_));

    if (format_ == Format::Csv) {
        std::optional<std::u16string> text = page->creatCSV();
        if (!text)
            return;                     // a page without text has no file; its number is skipped
        std::string bytes = "\xFF\xFE"; // UTF-16LE with its byte-order mark
        bytes.reserve(2 + text->size() * 2);
        for (char16_t u : *text) {
            bytes.push_back(static_cast<char>(u & 0xFF));
            bytes.push_back(static_cast<char>(u >> 8));
        }
        const std::string file = savedWorkFolder_ + "/Table " +
                                 decimal(static_cast<long long>(currentPageIndex_)) + ".csv";
        if (!platform::writeFileAtomically(file, bytes)) {
            fail(reasonWithErrno("Could not write " + file));
            throw std::runtime_error(failureReason_);
        }
        return;
    }

    page->creatSheet();
    for (const auto& item : page->sharedStringItems())
        sharedStrings_->stringItems().push_back(item);
    try {
        sharedStrings_->writeStringItems();
    } catch (...) {
        fail("The shared strings of " + what + " could not be written");
        throw;
    }

    if (allInOneSheet_) {
        if (aiosWriter_) {
            if (addToRow_)
                aiosWriter_->collectPageXMLToRow(*page);
            else
                aiosWriter_->collectPageXMLToColumn(*page);
        }
        return;
    }
    std::vector<std::string> paths;
    try {
        paths = page->writeSheetXML(partOpener(), sheetParts_.empty());
    } catch (...) {
        fail("The worksheet of " + what + " could not be written");
        throw;
    }
    recordSheetParts(paths, what);
}

// ---------------------------------------------------------------------------
// The package

bool QVExcelWriter::packetExcelFile(const platform::PdfDocument* document) {
    pdfInfo_ = QVPDFInfo::initWithCGPDFDocument(document);
    if (!pdfInfo_)
        throw std::logic_error("QVPDFInfo is nil");
    if (!failureReason_.empty())
        return false;
    if (format_ == Format::Csv) {
        if (!moveCSVFolder())
            return false;
        removeEmptyScratchFolder();
        return true;
    }

    std::optional<std::time_t> fixedDate = platform::sourceDateEpoch();
    std::chrono::system_clock::time_point now =
        fixedDate ? std::chrono::system_clock::from_time_t(*fixedDate)
                  : std::chrono::system_clock::now();
    if (clock_ && *clock_) {
        now = (*clock_)();
        fixedDate = std::chrono::system_clock::to_time_t(now);
    }

    try {
        if (allInOneSheet_ && aiosWriter_)
            recordSheetParts(aiosWriter_->writeSheetXML(partOpener(), sheetParts_.empty()),
                             "the sheet of all pages");
        if (sheetParts_.empty()) {
            // Nothing was written: one empty sheet keeps the workbook valid.
            const std::string part = "xl/worksheets/sheet1.xml";
            writeEmptySheetXML(part);
            sheetParts_.push_back(part);
        }

        // Entries from here on carry the package's date (streamed worksheets
        // carry the moment they were written, as their files did).
        archive_->setFixedEntryDate(fixedDate);
        bool withTheme = false;
        if (auto theme = QVExcelUtilities::pathInBundle("QVCorvala", "theme1.xml")) {
            if (!archive_->addFileToZip(*theme, kThemePart))
                throw WriterFailure("Could not add the theme " + *theme + " to the package");
            withTheme = true;
        }
        writePackageParts(now, withTheme);
        if (!finishPackage())
            return false;
    } catch (const WriterFailure& e) {
        fail(e.what());
        return false;
    }
    platform::removeAll(savedWorkFolder_);
    removeEmptyScratchFolder();
    return true;
}

void QVExcelWriter::removeEmptyScratchFolder() const {
    // The per-run scratch folder only held the work folder; once that has
    // gone into the output, leave no empty folder behind in the home folder.
    // rmdir removes nothing that still has content (a failed run's files).
    ::rmdir(platform::deletingLastPathComponent(savedWorkFolder_).c_str());
}

void QVExcelWriter::writePackageParts(std::chrono::system_clock::time_point now, bool withTheme) {
    writeRootRelationships();
    writeContentTypes(withTheme);
    writeAppProperties();
    writeCoreProperties(now);
    writeWorkbookRelationships(withTheme);
    sharedStrings_->endWrite();
    added(archive_->addDeflatedPartToZip(*sharedStringsPart_, kSharedStringsPart),
          kSharedStringsPart);
    sharedStringsPart_.reset(); // its memory and spill file go now
    {
        auto entry = archive_->entryOutput(kStylesPart);
        added(entry != nullptr, kStylesPart);
        auto writer = XMLFileWriter::initWithOutput(kStylesPart, std::move(entry));
        QVExcelManager::sharedInstance()->excelStyle()->writeStyle(*writer);
    }
    writeWorkbook();
}

std::unique_ptr<XMLFileWriter> QVExcelWriter::openPart(const std::string& part) const {
    auto entry = archive_->entryOutput(part);
    added(entry != nullptr, part);
    auto writer = XMLFileWriter::initWithOutput(part, std::move(entry));
    writer->writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
    return writer;
}

void QVExcelWriter::added(bool ok, const std::string& part) const {
    if (!ok && archive_->writeErrno() != 0)
        errno = archive_->writeErrno();
    if (!ok)
        throw WriterFailure(reasonWithErrno("Could not add " + part + " to the package"));
}

void QVExcelWriter::writeEmptySheetXML(const std::string& part) const {
    auto writer = openPart(part);
    XMLFileWriter& w = *writer;
    w.writeStartElement("worksheet");
    w.writeAttribute("xmlns", QVOpenXMLNameSpace::nameSpace_SpreadSheetml2006Main());
    w.writeStartElement("sheetViews");
    w.writeStartElement("sheetView");
    w.writeAttribute("tabSelected", "1");
    w.writeAttribute("workbookViewId", "0");
    w.writeStartElement("selection");
    w.writeAttribute("activeCell", "A1");
    w.writeAttribute("sqref", "A1");
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    w.writeStartElement("sheetFormatPr");
    w.writeAttribute("defaultRowHeight", "18.000000");
    w.writeAttribute("defaultColWidth", "15.000000");
    w.writeEndElement();
    w.writeStartElement("sheetData");
    w.writeEndElement();
    w.writeStartElement("pageMargins");
    for (const char* edge : {"left", "right", "top", "bottom", "header", "footer"})
        w.writeAttribute(edge, "0");
    w.writeEndElement("pageMargins");
    w.writeEndElement("worksheet");
    w.writeEndDocument();
}

void QVExcelWriter::writeRootRelationships() const {
    auto writer = openPart(kRootRelsPart);
    XMLFileWriter& w = *writer;
    w.writeStartElement("Relationships");
    w.writeAttribute("xmlns", kRelsNS);
    const std::pair<const char*, const char*> rels[] = {{kRelOfficeDocument, kWorkbookPart},
                                                        {kRelCoreProperties, kCorePart},
                                                        {kRelExtendedProperties, kAppPart}};
    long long id = 1;
    for (const auto& [type, target] : rels) {
        w.writeStartElement("Relationship");
        w.writeAttribute("Id", "rId" + decimal(id++));
        w.writeAttribute("Type", type);
        w.writeAttribute("Target", target);
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
}

void QVExcelWriter::writeContentTypes(bool withTheme) const {
    auto writer = openPart(kContentTypesPart);
    XMLFileWriter& w = *writer;
    w.writeStartElement("Types");
    w.writeAttribute("xmlns", kContentTypesNS);
    const std::pair<const char*, const char*> defaults[] = {
        {"xml", "application/xml"},
        {"jpeg", "image/jpeg"},
        {"png", "image/png"},
        {"rels", "application/vnd.openxmlformats-package.relationships+xml"}};
    for (const auto& [extension, type] : defaults) {
        w.writeStartElement("Default");
        w.writeAttribute("Extension", extension);
        w.writeAttribute("ContentType", type);
        w.writeEndElement();
    }
    std::vector<std::pair<std::string, std::string>> overrides = {
        {kSharedStringsPart,
         "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"},
        {kStylesPart, "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"}};
    if (withTheme)
        overrides.emplace_back(kThemePart,
                               "application/vnd.openxmlformats-officedocument.theme+xml");
    overrides.emplace_back(
        kWorkbookPart,
        "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml");
    overrides.emplace_back(kCorePart, "application/vnd.openxmlformats-package.core-properties+xml");
    overrides.emplace_back(kAppPart,
                           "application/vnd.openxmlformats-officedocument.extended-properties+xml");
    for (const std::string& part : sheetParts_)
        overrides.emplace_back(part, kWorksheetContentType);
    for (const auto& [part, type] : overrides) {
        w.writeStartElement("Override");
        w.writeAttribute("PartName", "/" + part);
        w.writeAttribute("ContentType", type);
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
}

void QVExcelWriter::writeAppProperties() const {
    const std::string vt(QVOpenXMLNameSpace::nameSpace_vt());
    const long long n = static_cast<long long>(sheetParts_.size());
    auto writer = openPart(kAppPart);
    XMLFileWriter& w = *writer;
    w.setPrefix(std::string("vt"), vt);
    w.writeStartElement("Properties");
    w.writeAttribute("xmlns", kExtendedPropertiesNS);
    w.writeTextElement("Application", "Microsoft Excel");
    w.writeTextElement("DocSecurity", "0");
    w.writeTextElement("ScaleCrop", "false");

    w.writeStartElement("HeadingPairs");
    w.writeStartElementWithNamespace(vt, "vector");
    w.writeAttribute("size", "2");
    w.writeAttribute("baseType", "variant");
    w.writeStartElementWithNamespace(vt, "variant");
    textElementNS(w, vt, "lpstr", "worksheet");
    w.writeEndElementWithNamespace(vt, "variant");
    w.writeStartElementWithNamespace(vt, "variant");
    textElementNS(w, vt, "i4", decimal(n));
    w.writeEndElementWithNamespace(vt, "variant");
    w.writeEndElementWithNamespace(vt, "vector");
    w.writeEndElement("HeadingPairs");

    w.writeStartElement("TitlesOfParts");
    w.writeStartElementWithNamespace(vt, "vector");
    w.writeAttribute("size", decimal(n));
    w.writeAttribute("baseType", "lpstr");
    for (long long k = 1; k <= n; ++k)
        textElementNS(w, vt, "lpstr", "Sheet " + decimal(k));
    w.writeEndElementWithNamespace(vt, "vector");
    w.writeEndElement("TitlesOfParts");

    w.writeTextElement("Company", pdfInfo_->creator());
    w.writeTextElement("Manager", pdfInfo_->producer());
    w.writeTextElement("LinksUpToDate", "false");
    w.writeTextElement("SharedDoc", "false");
    w.writeTextElement("HyperlinksChanged", "false");
    w.writeTextElement("AppVersion", "12.0000");
    w.writeEndElement("Properties");
    w.writeEndDocument();
}

void QVExcelWriter::writeCoreProperties(std::chrono::system_clock::time_point now) const {
    const std::string cp(QVOpenXMLNameSpace::nameSpace_cp());
    const std::string dc(QVOpenXMLNameSpace::nameSpace_dc());
    const std::string dcterms(QVOpenXMLNameSpace::nameSpace_dcterms());
    const std::string xsi(QVOpenXMLNameSpace::nameSpace_xsi());
    auto writer = openPart(kCorePart);
    XMLFileWriter& w = *writer;
    w.setPrefix(std::string("cp"), cp);
    w.setPrefix(std::string("dc"), dc);
    w.setPrefix(std::string("dcterms"), dcterms);
    w.setPrefix(std::string("dcmitype"), std::string(QVOpenXMLNameSpace::nameSpace_dcmitype()));
    w.setPrefix(std::string("xsi"), xsi);
    w.writeStartElementWithNamespace(cp, "coreProperties");
    textElementNS(w, dc, "title", pdfInfo_->title());
    textElementNS(w, dc, "subject", pdfInfo_->subject());
    textElementNS(w, dc, "creator", pdfInfo_->author());
    textElementNS(w, cp, "keywords", pdfInfo_->keywords());
    textElementNS(w, dc, "description", pdfInfo_->note());
    std::string modifiedBy = platform::applicationDisplayName();
    textElementNS(w, cp, "lastModifiedBy", modifiedBy.empty() ? "Corvala" : modifiedBy);
    const std::string stamp = w3cdtf(now);
    for (const char* element : {"created", "modified"}) {
        w.writeStartElementWithNamespace(dcterms, element);
        w.writeAttributeWithNamespace(xsi, "type", "dcterms:W3CDTF");
        w.writeCharacters(stamp);
        w.writeEndElementWithNamespace(dcterms, element);
    }
    w.writeEndElementWithNamespace(cp, "coreProperties");
    w.writeEndDocument();
}

void QVExcelWriter::writeWorkbookRelationships(bool withTheme) {
    excelRelationships_.clear();
    sheetIdsList_.clear();
    const std::string worksheetType(QVOpenXMLNameSpace::nameSpace_Rels_WorkSheet());
    for (const std::string& part : sheetParts_) {
        const bool inXl = part.compare(0, 3, "xl/") == 0;
        excelRelationships_.push_back({worksheetType, inXl ? part.substr(3) : "/" + part});
    }
    if (withTheme)
        excelRelationships_.push_back({kRelTheme, "theme/theme1.xml"});
    excelRelationships_.push_back({kRelStyles, "styles.xml"});
    excelRelationships_.push_back({kRelSharedStrings, "sharedStrings.xml"});

    auto writer = openPart(kWorkbookRelsPart);
    XMLFileWriter& w = *writer;
    w.writeStartElement("Relationships");
    w.writeAttribute("xmlns", kRelsNS);
    long long id = 1;
    for (const Relationship& r : excelRelationships_) {
        const std::string rid = "rId" + decimal(id++);
        w.writeStartElement("Relationship");
        w.writeAttribute("Id", rid);
        w.writeAttribute("Type", r.type);
        w.writeAttribute("Target", r.target);
        w.writeEndElement();
        if (r.type == worksheetType)
            sheetIdsList_.push_back(rid);
    }
    w.writeEndElement();
    w.writeEndDocument();
}

void QVExcelWriter::writeWorkbook() const {
    const std::string r(QVOpenXMLNameSpace::nameSpace_r());
    auto writer = openPart(kWorkbookPart);
    XMLFileWriter& w = *writer;
    w.setPrefix(std::string("r"), r);
    w.writeStartElement("workbook");
    w.writeAttribute("xmlns", QVOpenXMLNameSpace::nameSpace_SpreadSheetml2006Main());
    w.writeStartElement("fileVersion");
    w.writeAttribute("appName", "xl");
    w.writeAttribute("lastEdited", "4");
    w.writeAttribute("lowestEdited", "4");
    w.writeAttribute("rupBuild", "4506");
    w.writeEndElement("fileVersion");
    w.writeStartElement("workbookPr");
    w.writeAttribute("defaultThemeVersion", "124226");
    w.writeEndElement("workbookPr");
    w.writeStartElement("bookViews");
    w.writeStartElement("workbookView");
    w.writeAttribute("xWindow", "240");
    w.writeAttribute("yWindow", "15");
    w.writeAttribute("windowWidth", "11670");
    w.writeAttribute("windowHeight", "9480");
    w.writeAttribute("activeTab", "0");
    w.writeEndElement();
    w.writeEndElement();
    w.writeStartElement("sheets");
    long long k = 1;
    for (const std::string& rid : sheetIdsList_) {
        w.writeStartElement("sheet");
        w.writeAttribute("name", "Sheet " + decimal(k));
        w.writeAttribute("sheetId", decimal(k));
        w.writeAttributeWithNamespace(r, "id", rid);
        w.writeEndElement();
        ++k;
    }
    w.writeEndElement();
    w.writeStartElement("calcPr");
    w.writeAttribute("calcId", "125725");
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
}

bool QVExcelWriter::finishPackage() {
    if (!archive_->CloseZipFile2()) {
        if (archive_->writeErrno() != 0)
            errno = archive_->writeErrno();
        fail(reasonWithErrno("Could not finish the package " + archivePath_));
        return false;
    }
    if (platform::isDirectory(savedFilePath_)) {
        fail("A folder is at the output path " + savedFilePath_);
        return false;
    }
    std::string why;
    if (!platform::moveIntoPlace(archivePath_, savedFilePath_, why)) {
        fail(why);
        return false;
    }
    archivePath_.clear(); // it is the output now
    return true;
}

bool QVExcelWriter::moveCSVFolder() {
    std::string why;
    if (!platform::moveIntoPlace(savedWorkFolder_, savedFilePath_, why)) {
        fail(why);
        return false;
    }
    return true;
}
