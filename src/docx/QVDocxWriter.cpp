#include "docx/QVDocxWriter.h"

#include "docx/QVDocxDrawCounters.h"
#include "docx/QVDocxPage.h"
#include "docx/QVDocxParagraph.h"
#include "docx/QVDocxUtilities.h"
#include "pdf/QVPDFPathUtilities.h"
#include "pdf/QVPDFUtilities.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "writer/QVDeflatedPartStore.h"
#include "writer/QVOpenXMLNameSpace.h"
#include "writer/XMLFileWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <unistd.h>

namespace {

const char* const kRelType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

/// The prefixes of document.xml, in the order they are declared on w:document.
const std::pair<const char*, const char*> kDocumentNamespaces[] = {
    {"w", "http://schemas.openxmlformats.org/wordprocessingml/2006/main"},
    {"v", "urn:schemas-microsoft-com:vml"},
    {"r", "http://schemas.openxmlformats.org/officeDocument/2006/relationships"},
    {"o", "urn:schemas-microsoft-com:office:office"},
    {"wp", "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing"},
    {"w10", "urn:schemas-microsoft-com:office:word"},
    {"ve", "http://schemas.openxmlformats.org/markup-compatibility/2006"},
    {"m", "http://schemas.openxmlformats.org/officeDocument/2006/math"},
    {"wne", "http://schemas.microsoft.com/office/word/2006/wordml"},
};

std::string decimal(long long v) { return platform::formatInteger(v); }

} // namespace

QVDocxWriter::QVDocxWriter(const std::string& path, int64_t numOfPages)
    : savedFilePath_(path), docxNumOfPages_(numOfPages) {
    std::string name = platform::lastPathComponent(path);
    if (name.empty())
        name = "Document.docx";
    auto folders = QVPDFPathUtilities::makeWorkFolders(name);
    scratchFolder_ = std::move(folders.scratch);
    savedWorkFolder_ = std::move(folders.work);
}

QVDocxWriter::~QVDocxWriter() {
    currentPage_.reset();
    documentWriter_.reset();
    parts_.reset();
    removeWorkFolder();
}

void QVDocxWriter::removeWorkFolder() {
    if (savedWorkFolder_.empty())
        return;
    platform::removeAll(savedWorkFolder_);
    // The per-document scratch folder held only the work folder; rmdir
    // removes nothing that still has content.
    ::rmdir(scratchFolder_.c_str());
    savedWorkFolder_.clear();
}

bool QVDocxWriter::fail(const std::string& reason) {
    if (failureReason_.empty())
        failureReason_ = reason;
    return false;
}

std::optional<std::string> QVDocxWriter::pathForDocxTemplatesResources(const std::string& name) {
    return QVDocxUtilities::PathInLibBundleForResource("Docx XML Templates/" + name);
}

void QVDocxWriter::begainWriteDocument() {
    setBegainDocxOptions();
    setDefaultFontTable();
    setDefaultMediaCollection();
    setDefaultRelationships();
    setDefaultDocumentWriter();
}

void QVDocxWriter::setBegainDocxOptions() {
    QVDocx_ResetCountersForDocument();
    shapeTypesCommitted_ = 0;
    currentDocxPageIndex_ = 0;
    finalSectionWritten_ = false;
    lastWrittenSection_.reset();
}

void QVDocxWriter::setDefaultFontTable() {
    docxFontTable_ = {{"Times New Roman", "Times New Roman", "00", "roman", "variable"},
                      {"Arial", "Arial", "00", "swiss", "variable"}};
}

void QVDocxWriter::collectFont(const std::string& family, ReaderFontKind kind) {
    // The runs name their font as LocalFontName writes it.
    const std::string name = QVDocxUtilities::LocalFontName(family);
    for (const FontEntry& e : docxFontTable_)
        if (e.name == name)
            return;
    const ReaderFontTableEntry e = readerFontTableEntry(family, kind);
    docxFontTable_.push_back({name, e.altName, e.charset, e.family, e.pitch});
}

void QVDocxWriter::setDefaultMediaCollection() {
    docxMediaCollection_.clear();
    mediaTargets_.clear();
}

void QVDocxWriter::setDefaultRelationships() {
    const std::string t = kRelType;
    docxRelationships_ = {{t + "styles", "styles.xml"},
                          {t + "fontTable", "fontTable.xml"},
                          {t + "theme", "theme/theme1.xml"},
                          {t + "settings", "settings.xml"},
                          {t + "webSettings", "webSettings.xml"}};
}

void QVDocxWriter::setDefaultDocumentWriter() {
    currentPage_.reset();
    if (documentWriter_) {
        documentWriter_->closeFile();
        documentWriter_.reset();
    }
    const std::string part = "word/document.xml";
    parts_ = std::make_unique<QVDeflatedPartStore>(
        platform::appendPathComponent(savedWorkFolder_, ".parts.deflated"));
    auto output = parts_->output(part);
    if (!output)
        throw XMLWriterException("Could not start " + part + ": " + std::strerror(ENOMEM));
    documentWriter_ = XMLFileWriter::initWithOutput(part, std::move(output));
    documentWriter_->writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
    XMLFileWriter& w = *documentWriter_;
    for (const auto& [prefix, uri] : kDocumentNamespaces)
        w.setPrefix(std::string(prefix), std::string(uri));
    const auto ns = QVOpenXMLNameSpace::nameSpace_w();
    w.writeStartElementWithNamespace(ns, "document");
    w.writeStartElementWithNamespace(ns, "body");
}

void QVDocxWriter::begainWritePage(platform::Size pageSize) {
    if (!documentWriter_)
        throw std::logic_error("The document has not begun");
    QVDocx_ResetCountersForPage();
    currentPage_.reset();
    // A page that never ended (its end threw) leaves nothing behind, also
    // no shape type it defined.
    documentWriter_->discardHeldOutput();
    QVDocx_ShapeTypesWritten = shapeTypesCommitted_;
    ++currentDocxPageIndex_;
    const bool lastPage = currentDocxPageIndex_ >= docxNumOfPages_;
    currentPage_ = std::make_unique<QVDocxPage>(documentWriter_.get(), pageSize, lastPage);
    currentPage_->setDrawingPictureSink(
        [this](const platform::RasterImage& image) { return collectDrawingPicture(image); });

    documentWriter_->holdOutput();
    currentPage_->begainWritePage(currentDocxPageIndex_);
}

void QVDocxWriter::endWritePage() {
    if (!currentPage_ || !documentWriter_)
        return;
    try {
        currentPage_->endWritePage(currentDocxPageIndex_);
    } catch (...) {
        documentWriter_->discardHeldOutput();
        QVDocx_ShapeTypesWritten = shapeTypesCommitted_;
        currentPage_.reset();
        throw;
    }
    documentWriter_->commitHeldOutput();
    shapeTypesCommitted_ = QVDocx_ShapeTypesWritten;
    if (currentPage_->isLastPage())
        finalSectionWritten_ = true;
    if (!currentPage_->paragraphArray().empty())
        lastWrittenSection_ = currentPage_->paragraphArray().back()->sectProperty();
}

void QVDocxWriter::writeFinalSectionIfNeeded() {
    if (finalSectionWritten_)
        return;
    // The page that should have ended the body failed or was not converted.
    // A continuous section after the last page's own section adds no page.
    QVDocx_SectPr s = QVDocxUtilities::defaultSectProperty();
    if (lastWrittenSection_) {
        s = *lastWrittenSection_;
        s.type = 1;
    } else {
        // No page reached the document: one blank paragraph keeps the body valid.
        QVDocxParagraph blank;
        blank.writeWithXMLWriter(*documentWriter_);
    }
    s.write = 1;
    QVDocxUtilities::WriteSectProperty(s, *documentWriter_);
    finalSectionWritten_ = true;
}

void QVDocxWriter::endWriteDocument() {
    if (!documentWriter_)
        return;
    currentPage_.reset();
    documentWriter_->discardHeldOutput();
    writeFinalSectionIfNeeded();
    // View and zoom live in settings.xml: w:docPr is no element of the body.
    documentWriter_->writeEndDocument();
    documentWriter_.reset();
}

std::string QVDocxWriter::collectImageWithPath(const std::string& path) {
    const auto known = std::find(docxMediaCollection_.begin(), docxMediaCollection_.end(), path);
    if (known != docxMediaCollection_.end()) {
        const std::string& target = mediaTargets_[known - docxMediaCollection_.begin()];
        for (size_t k = 0; k < docxRelationships_.size(); ++k)
            if (docxRelationships_[k].target == target)
                return "rId" + decimal(static_cast<long long>(k + 1));
    }
    // Two files of one name from different folders must not share an entry.
    const auto [stem, extension] = platform::splitExtension(platform::lastPathComponent(path));
    std::string target = "media/" + platform::lastPathComponent(path);
    for (long long n = 2;
         std::find(mediaTargets_.begin(), mediaTargets_.end(), target) != mediaTargets_.end(); ++n)
        target = "media/" + stem + "-" + decimal(n) + (extension.empty() ? "" : "." + extension);
    docxMediaCollection_.push_back(path);
    mediaTargets_.push_back(target);
    docxRelationships_.push_back({std::string(kRelType) + "image", target});
    return "rId" + decimal(static_cast<long long>(docxRelationships_.size()));
}

std::optional<std::string> QVDocxWriter::collectDrawingPicture(const platform::RasterImage& image) {
    if (savedWorkFolder_.empty())
        return std::nullopt;
    // Outside the folder word: the medium is moved into place when the
    // package is written, and nothing else of the work folder is zipped.
    const std::string folder = platform::appendPathComponent(savedWorkFolder_, "drawings");
    if (!platform::createDirectories(folder))
        return std::nullopt;
    const std::string path = platform::appendPathComponent(
        folder, "drawing" + decimal(static_cast<long long>(++drawingPictureCount_)) + ".png");
    if (!QVPDF_WriteImageToURL(&image, path, platform::ImageFileType::PNG, {72, 72}, 1.0f)) {
        platform::removeAll(path);
        return std::nullopt;
    }
    return collectImageWithPath(path);
}
