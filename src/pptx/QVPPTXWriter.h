#pragma once
// The package writer of the presentation output. For one document it owns a
// work folder in the scratch area, numbers the slides as pages complete,
// keeps the slide being filled, registers the images the slides show (one
// media part per source image, shared by every slide that shows it; images
// of other formats than PNG and JPEG are turned into PNG), and at the end
// writes the other parts, zips the package and removes the work folder.
//
// The slide list, the content types and the slide count of app.xml come from
// the slides actually completed, so a page that failed leaves a sound package
// with one slide fewer. The slides are compressed as they complete and kept
// (in memory, spilling into one file of the work folder when large) until the
// package is zipped; every part goes straight into the archive, none through a
// file of its own. The package is zipped under a temporary name and renamed
// into place: nothing ever stands half-written under the output path.

#include "platform/Geometry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QVDeflatedPartStore;
class QVPPTXPage;
class QVZipArchive;
class XMLFileWriter;

class QVPPTXWriter {
public:
    /// Makes the work folder; raises std::runtime_error when it cannot.
    QVPPTXWriter(const std::string& path, uint64_t numOfPages);
    /// Removes the work folder and the writer's own image files.
    ~QVPPTXWriter();
    QVPPTXWriter(const QVPPTXWriter&) = delete;
    QVPPTXWriter& operator=(const QVPPTXWriter&) = delete;

    void begainWriteDocument();
    /// Starts the next slide; the first page sets the slide size (held to
    /// the range the format allows).
    void begainWritePage(platform::Size pageSize);
    /// Writes the current slide's part; raises when it cannot (the slide then
    /// does not count and its number is taken by the next page).
    void endWritePage();
    /// The current slide's relationship id for the image file; none when the
    /// file is of a format that cannot be read.
    std::optional<std::string> collectImageWithPath(const std::string& path);
    /// Writes the other parts and zips the package into the output path;
    /// false with failureReason() when a step failed (no file is then there).
    bool packetPPTXFile();

    /// A folder of the writer's own for the pictures it makes (rasterised
    /// paths, clipped images); removed with the writer.
    const std::string& imageFolder() const { return imageFolder_; }

    QVPPTXPage* currentPage() const { return currentPage_.get(); }
    platform::Size slideSize() const { return slideSize_; }
    uint64_t currentPageIndex() const { return currentPageIndex_; }
    uint64_t completedSlides() const { return completedSlides_; }
    uint64_t totalPPTXPages() const { return totalPPTXPages_; }
    const std::string& savedFilePath() const { return savedFilePath_; }
    const std::string& savedWorkFolder() const { return savedWorkFolder_; }
    const std::string& failureReason() const { return failureReason_; }

    /// The clock of core.xml's dates (seconds since 1970, UTC); tests set a fixed one.
    static void setClockForTesting(std::function<long long()> clock);

    /// The smallest and largest slide side the format allows, points
    /// (914400 and 51206400 EMU).
    static constexpr double kMinSlideSide = 72.0;
    static constexpr double kMaxSlideSide = 4032.0;

private:
    struct Media {
        std::string sourcePath; ///< the image file as registered
        std::string filePath;   ///< the file that goes into the package
        std::string mediaName;  ///< "imageN.ext"
        bool used = false;      ///< a completed slide shows it
    };

    void writeParts();
    void _pptxWrite_Rels() const;
    void _pptxWrite_ContentTypes() const;
    void _pptxWrite_DocProps_app() const;
    void _pptxWrite_DocProps_core() const;
    void _pptxWrite_PPT_Rels() const;
    void _pptxWrite_PPT_Media() const;
    void _pptxWrite_PPT_Presentation() const;
    void _pptxWrite_PPT_PresProps() const;
    void _pptxWrite_PPT_SlideLayouts() const;
    void _pptxWrite_PPT_SlideMasters() const;
    void _pptxWrite_PPT_TableStyles() const;
    void _pptxWrite_PPT_ViewProps() const;
    void _pptxWrite_Slides() const;
    void copyResource(const std::string& name, const std::string& part) const;
    /// An XML writer into the next entry of the package, its declaration written.
    std::unique_ptr<XMLFileWriter> openPart(const std::string& part) const;
    /// Raises naming the part when adding it failed.
    void added(bool ok, const std::string& part) const;
    bool zipPackage();
    bool fail(const std::string& reason);
    void removeWorkFolder();

    std::string savedFilePath_;
    std::string savedWorkFolder_;
    std::string scratchFolder_;
    std::string imageFolder_;
    uint64_t totalPPTXPages_ = 0;
    uint64_t currentPageIndex_ = 0;
    uint64_t completedSlides_ = 0;
    platform::Size slideSize_{0, 0};
    std::vector<Media> media_;
    /// The completed slides and their relationships, until the package is
    /// zipped; declared before the page, which writes into it.
    std::unique_ptr<QVDeflatedPartStore> parts_;
    /// The package being zipped, during zipPackage().
    QVZipArchive* archive_ = nullptr;
    /// Media the current slide refers to (indexes into media_).
    std::vector<size_t> currentSlideMedia_;
    std::unique_ptr<QVPPTXPage> currentPage_;
    std::string failureReason_;
};
