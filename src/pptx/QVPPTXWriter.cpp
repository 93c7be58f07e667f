#include "pptx/QVPPTXWriter.h"

#include "pdf/QVPDFPathUtilities.h"
#include "pdf/QVPDFUtilities.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "pptx/QVPPTXPage.h"
#include "writer/QVDeflatedPartStore.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include <unistd.h>

namespace {
std::string lowercase(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}
} // namespace

QVPPTXWriter::QVPPTXWriter(const std::string& path, uint64_t numOfPages)
    : savedFilePath_(path), totalPPTXPages_(numOfPages) {
    std::string name = platform::lastPathComponent(path);
    if (name.empty())
        name = "Presentation.pptx";
    auto folders = QVPDFPathUtilities::makeWorkFolders(name);
    scratchFolder_ = std::move(folders.scratch);
    savedWorkFolder_ = std::move(folders.work);
    imageFolder_ = scratchFolder_ + "/images";
    parts_ = std::make_unique<QVDeflatedPartStore>(
        platform::appendPathComponent(savedWorkFolder_, ".parts.deflated"));
}

QVPPTXWriter::~QVPPTXWriter() {
    currentPage_.reset();
    parts_.reset();
    removeWorkFolder();
}

void QVPPTXWriter::removeWorkFolder() {
    if (!savedWorkFolder_.empty())
        platform::removeAll(savedWorkFolder_);
    if (!imageFolder_.empty())
        platform::removeAll(imageFolder_);
    // The per-document scratch folder held only these two.
    if (!scratchFolder_.empty())
        ::rmdir(scratchFolder_.c_str());
    savedWorkFolder_.clear();
    imageFolder_.clear();
}

bool QVPPTXWriter::fail(const std::string& reason) {
    if (failureReason_.empty())
        failureReason_ = reason;
    return false;
}

void QVPPTXWriter::begainWriteDocument() {
    media_.clear();
    currentSlideMedia_.clear();
    currentPage_.reset();
    currentPageIndex_ = 0;
    completedSlides_ = 0;
}

void QVPPTXWriter::begainWritePage(platform::Size pageSize) {
    if (slideSize_.width == 0 && slideSize_.height == 0) {
        auto side = [](double v) {
            return std::isfinite(v) ? std::clamp(v, kMinSlideSide, kMaxSlideSide) : kMinSlideSide;
        };
        slideSize_ = {side(pageSize.width), side(pageSize.height)};
    }
    currentPage_.reset();
    currentSlideMedia_.clear();
    // A slide that never completed gives its number to the next one.
    currentPageIndex_ = completedSlides_ + 1;
    currentPage_ = std::make_unique<QVPPTXPage>(currentPageIndex_, *parts_);
    currentPage_->begainWritePage(currentPageIndex_);
}

void QVPPTXWriter::endWritePage() {
    if (!currentPage_)
        return;
    std::unique_ptr<QVPPTXPage> page = std::move(currentPage_);
    page->endWritePage(currentPageIndex_);
    ++completedSlides_;
    for (size_t index : currentSlideMedia_)
        media_[index].used = true;
    currentSlideMedia_.clear();
}

std::optional<std::string> QVPPTXWriter::collectImageWithPath(const std::string& path) {
    if (!currentPage_ || path.empty())
        return std::nullopt;
    auto known = std::find_if(media_.begin(), media_.end(),
                              [&](const Media& m) { return m.sourcePath == path; });
    size_t index = known - media_.begin();
    if (known == media_.end()) {
        Media m;
        m.sourcePath = path;
        std::string extension = lowercase(platform::splitExtension(path).second);
        if (extension == "jpg")
            extension = "jpeg";
        if (extension == "png" || extension == "jpeg") {
            m.filePath = path;
        } else {
            // Only PNG and JPEG are pictures every presentation reader shows.
            auto image = QVPDFUtilities::cgImageWithContentsOfFile(path);
            if (!image || !platform::createDirectories(imageFolder_))
                return std::nullopt;
            const std::string png =
                QVPDFPathUtilities::getNewPathby(imageFolder_ + "/converted.png").value_or("");
            if (png.empty() ||
                !QVPDF_WriteImageToURL(&*image, png, platform::ImageFileType::PNG, {72, 72}, 1.0f))
                return std::nullopt;
            m.filePath = png;
            extension = "png";
        }
        m.mediaName = "image" + platform::formatInteger(static_cast<long long>(media_.size() + 1)) +
                      "." + extension;
        media_.push_back(std::move(m));
        index = media_.size() - 1;
    }
    if (std::find(currentSlideMedia_.begin(), currentSlideMedia_.end(), index) ==
        currentSlideMedia_.end())
        currentSlideMedia_.push_back(index);
    const std::string& name = media_[index].mediaName;
    if (auto id = currentPage_->findExistRelsWithImagePath(name))
        return id;
    return currentPage_->addNewRelsWithImagePath(name);
}

bool QVPPTXWriter::packetPPTXFile() {
    if (!failureReason_.empty())
        return false;
    if (savedWorkFolder_.empty())
        return fail("The presentation has no work folder");
    currentPage_.reset();
    if (!zipPackage())
        return false;
    removeWorkFolder();
    return true;
}
