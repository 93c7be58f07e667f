#pragma once
// The document writer of the word-processing output. For one converted
// document it owns a work folder in the scratch area, streams word/document.xml
// page by page, makes the page record of the page being converted, keeps the
// lists the other parts are written from (fonts, relationships of the main
// part, media) and finally zips the package into the output file.
//
// document.xml is compressed as it is written and kept (in memory, spilling
// into one file of the work folder when large) until the package is zipped:
// every part goes straight into the archive, none through a file of its own.
//
// A page's markup reaches document.xml only when the page has been written
// whole: a page whose layout or writing throws leaves nothing of itself (no
// bookmark, no half-open paragraph) and the document goes on with the next
// page. The body always ends with its section properties, also when the page
// meant to write them failed or was never converted.
//
// Nothing ever stands half-written under the output path: the package is
// zipped to a temporary name beside it and renamed into place. Every step of
// packaging is checked; a failure makes packetDocxFile answer false with the
// reason in failureReason(). The work folder is removed when the writer goes
// (after the end, a failure or a cancel).

#include "docx/QVDocxProperties.h"
#include "platform/Geometry.h"
#include "platform/image/RasterImage.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QVDeflatedPartStore;
class QVDocxPage;
class QVZipArchive;
class XMLFileWriter;

class QVDocxWriter {
public:
    /// A font of fontTable.xml.
    struct FontEntry {
        std::string name;
        std::string altName;
        std::string charset;
        std::string family;
        std::string pitch;
    };
    /// A relationship of the main part; its id is "rId" and its position from 1.
    struct Relationship {
        std::string type;
        std::string target; ///< relative to the folder word
    };

    /// Makes the work folder (named after the output file); raises
    /// std::runtime_error when it cannot be made.
    QVDocxWriter(const std::string& path, int64_t numOfPages);
    /// Removes the work folder with whatever it still holds.
    ~QVDocxWriter();
    QVDocxWriter(const QVDocxWriter&) = delete;
    QVDocxWriter& operator=(const QVDocxWriter&) = delete;

    /// Resets the drawing counters and the lists and starts document.xml;
    /// raises XMLWriterException when the part cannot be created.
    void begainWriteDocument();
    /// Starts the next page (numbered from 1) with its bookmark.
    void begainWritePage(platform::Size pageSize);
    /// Lays the current page out and appends it to document.xml; when that
    /// throws, the page leaves nothing in the document and the exception goes on.
    void endWritePage();
    /// Ends the body (with its final section properties) and closes document.xml.
    void endWriteDocument();
    /// Registers an image file as a medium of the document (once per path)
    /// and answers its relationship id.
    std::string collectImageWithPath(const std::string& path);
    /// Stores a picture drawn for the document (PNG in the work folder) and
    /// registers it as a medium: its relationship id, or none.
    std::optional<std::string> collectDrawingPicture(const platform::RasterImage& image);
    /// Declares a family the runs use in fontTable.xml (once), with what a
    /// reader without it needs to pick a close one.
    void collectFont(const std::string& family, ReaderFontKind kind);
    const std::vector<FontEntry>& fontTable() const { return docxFontTable_; }
    /// Writes the other parts and zips the package into the output path;
    /// false when any step failed (failureReason() says which).
    bool packetDocxFile();

    /// Path of a template of the QVLunabrisk bundle's "Docx XML Templates"; none when missing.
    static std::optional<std::string> pathForDocxTemplatesResources(const std::string& name);

    QVDocxPage* currentPage() const { return currentPage_.get(); }
    int64_t currentDocxPageIndex() const { return currentDocxPageIndex_; }
    const std::string& savedFilePath() const { return savedFilePath_; }
    const std::string& savedWorkFolder() const { return savedWorkFolder_; }
    const std::vector<Relationship>& relationships() const { return docxRelationships_; }
    const std::vector<std::string>& mediaCollection() const { return docxMediaCollection_; }
    const std::string& failureReason() const { return failureReason_; }

private:
    void setBegainDocxOptions();
    void setDefaultFontTable();
    void setDefaultMediaCollection();
    void setDefaultRelationships();
    void setDefaultDocumentWriter();
    void writeFinalSectionIfNeeded();
    void removeWorkFolder();

    // The package (QVDocxWriterPackage.cpp). Each writes its part as the
    // next entry of the package being zipped and raises when it cannot.
    void _docxWrite_Rels() const;
    void _docxWrite_DocProps_app() const;
    void _docxWrite_DocProps_core() const;
    void _docxWrite_ContentTypes() const;
    void _docxWrite_Word_Media();
    void _docxWrite_Word_Rels() const;
    void _docxWrite_Word_FontTable() const;
    void _docxWrite_Word_Settings() const;
    void _docxWrite_Word_Template(const std::string& templateName, const std::string& part) const;
    void _docxWrite_Word_Document() const;
    /// An XML writer into the next entry of the package, its declaration written.
    std::unique_ptr<XMLFileWriter> openPart(const std::string& part) const;
    /// Raises naming the part when adding it failed.
    void added(bool ok, const std::string& part) const;
    bool zipPackage();
    bool fail(const std::string& reason);

    /// Holds document.xml compressed until the package is zipped; declared
    /// before its writer, which writes into it.
    std::unique_ptr<QVDeflatedPartStore> parts_;
    std::unique_ptr<XMLFileWriter> documentWriter_;
    /// The package being zipped, during zipPackage().
    QVZipArchive* archive_ = nullptr;
    std::string savedFilePath_;
    std::string savedWorkFolder_;
    std::string scratchFolder_;
    int64_t docxNumOfPages_ = 0;
    QVDocx_DocPr docxProperty_;
    std::vector<FontEntry> docxFontTable_;
    std::vector<Relationship> docxRelationships_;
    std::vector<std::string> docxMediaCollection_;
    std::unique_ptr<QVDocxPage> currentPage_;
    int64_t currentDocxPageIndex_ = 0;
    /// The body's own section properties have been written (by the last page).
    bool finalSectionWritten_ = false;
    /// The section of the last page that reached the document, for a body
    /// whose last page did not write the final section.
    std::optional<QVDocx_SectPr> lastWrittenSection_;
    /// Target of each medium, relative to the folder word ("media/IMG_1.png").
    std::vector<std::string> mediaTargets_;
    std::string failureReason_;
    /// Pictures drawn for the document so far (their file names count on).
    int64_t drawingPictureCount_ = 0;
    /// The VML shape types defined by the pages in the document: a page that
    /// leaves nothing in it takes its definitions with it.
    uint32_t shapeTypesCommitted_ = 0;
};
