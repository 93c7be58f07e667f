#include "platform/pdf/PdfDocument.h"

#include "platform/pdf/PdfBudgetExceeded.h"
#include "platform/pdf/PdfFileSource.h"

#include "platform/Files.h"
#include "platform/pdf/QpdfAccess.h"

#include <qpdf/Pl_Discard.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFLogger.hh>

#include <cmath>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <set>

namespace platform {

std::unique_ptr<QPDF> makeQuietQPDF() {
    auto q = std::make_unique<QPDF>();
    auto logger = QPDFLogger::create();
    auto discard = std::make_shared<Pl_Discard>();
    logger->setInfo(discard);
    logger->setWarn(discard);
    logger->setError(discard);
    q->setLogger(logger);
    q->setSuppressWarnings(true);
    q->setAttemptRecovery(true);
    return q;
}

namespace {

/// Nothing converts annotations, yet a page that holds thousands of them as
/// direct objects keeps them all parsed as long as the document is open (32,000
/// links take over 100 MB in qpdf's objects). The document is only read, so a
/// page lets go of them once found.
void dropAnnotations(QPDFObjectHandle page) {
    if (page.hasKey("/Annots"))
        page.removeKey("/Annots");
}

/// Walks page-tree nodes from `root`, appending the pages in order. Each node
/// is walked once: a kid that leads back to a node already walked (a loop, or
/// a node listed twice) is skipped, and kids that are no dictionaries or empty
/// nodes are left out. A page listed twice is converted twice, as its tree says.
/// Answers false when the tree is damaged: `root` is no node, or a kid is
/// missing or no dictionary.
bool walkPageTree(QPDFObjectHandle root, std::set<QPDFObjGen>& walked,
                  std::vector<QPDFObjectHandle>& pages) {
    auto isNode = [](QPDFObjectHandle h) { return h.getKey("/Kids").isArray(); };
    auto enter = [&walked](QPDFObjectHandle node) {
        // Direct nodes cannot be reached twice.
        return !node.isIndirect() || walked.insert(node.getObjGen()).second;
    };
    if (!root.isDictionary() || !isNode(root))
        return false;
    if (!enter(root))
        return true;
    bool sound = true;
    struct Frame {
        QPDFObjectHandle kids;
        int next;
    };
    // An explicit stack: a deep tree must not exhaust the call stack.
    std::vector<Frame> stack{{root.getKey("/Kids"), 0}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next >= top.kids.getArrayNItems()) {
            stack.pop_back();
            continue;
        }
        QPDFObjectHandle kid = top.kids.getArrayItem(top.next++);
        if (!kid.isDictionary()) {
            sound = false;
            continue;
        }
        if (isNode(kid)) {
            if (enter(kid))
                stack.push_back({kid.getKey("/Kids"), 0});
        } else if (!kid.getKey("/Type").isNameAndEquals("/Pages")) {
            dropAnnotations(kid);
            pages.push_back(kid);
        }
    }
    return sound;
}

/// The document's pages: the catalog's page tree; when that is damaged and
/// gives no page (no /Pages, a root that is broken or has no kids, kids that
/// are missing), the trees whose roots are found among the file's objects, and
/// failing those every page object of the file, in object order. A sound tree
/// without pages stays empty: pages that no tree lists are not brought back.
std::vector<QPDFObjectHandle> collectPages(QPDF& q) {
    std::vector<QPDFObjectHandle> pages;
    std::set<QPDFObjGen> walked;
    try {
        QPDFObjectHandle root = q.getRoot().getKey("/Pages");
        // Some files point /Pages at a page or an inner node: climb to the
        // top, as far as /Parent leads without a loop.
        std::set<QPDFObjGen> climbed;
        while (root.isDictionary() && root.getKey("/Parent").isDictionary() &&
               (!root.isIndirect() || climbed.insert(root.getObjGen()).second))
            root = root.getKey("/Parent");
        if (walkPageTree(root, walked, pages) || !pages.empty())
            return pages;
    } catch (const std::exception&) {
        // qpdf gave up part way: the pages found so far stand.
        if (!pages.empty())
            return pages;
    }
    try {
        std::vector<QPDFObjectHandle> orphans;
        for (const auto& entry : q.getXRefTable()) {
            QPDFObjectHandle h = q.getObjectByObjGen(entry.first);
            if (!h.isDictionary())
                continue;
            if (h.getKey("/Kids").isArray()) {
                if (!h.getKey("/Parent").isDictionary())
                    walkPageTree(h, walked, pages);
            } else if (h.getKey("/Type").isNameAndEquals("/Page")) {
                dropAnnotations(h);
                orphans.push_back(h);
            }
        }
        if (pages.empty())
            pages = std::move(orphans);
    } catch (const std::exception&) {
    }
    return pages;
}

const std::vector<QPDFObjectHandle>& pagesOf(PdfDocumentImpl& impl) {
    if (!impl.pages)
        impl.pages = collectPages(*impl.qpdf);
    return *impl.pages;
}

enum class OpenResult { Opened, WrongPassword, Failed };

struct Opened {
    std::unique_ptr<QPDF> qpdf;
    bool encrypted = false;
    bool ownerPasswordMatched = false;
    bool passwordMatched = false;
};

// Opens the source that `impl` describes. In-memory documents are read from
// impl.memory itself, which lives as long as the document, never from a copy.
OpenResult openSource(const PdfDocumentImpl& impl, const std::string& password, Opened& out) {
    auto q = makeQuietQPDF();
    try {
        if (!impl.memory.empty() || impl.path.empty())
            q->processMemoryFile(impl.description.c_str(), impl.memory.data(), impl.memory.size(),
                                 password.c_str());
        else
            q->processInputSource(std::make_shared<PdfFileSource>(impl.path), password.c_str());
        // A file without a catalog is no document. The page tree is left for
        // the first page lookup: opening to ask whether a file is locked
        // should not parse every page dictionary.
        (void)q->getRoot();
    } catch (const QPDFExc& e) {
        if (e.getErrorCode() == qpdf_e_password)
            return OpenResult::WrongPassword;
        return OpenResult::Failed;
    } catch (const std::exception&) {
        return OpenResult::Failed;
    }
    out.encrypted = q->isEncrypted();
    out.ownerPasswordMatched = out.encrypted && q->ownerPasswordMatched();
    out.passwordMatched = out.encrypted && (q->userPasswordMatched() || q->ownerPasswordMatched());
    out.qpdf = std::move(q);
    return OpenResult::Opened;
}

OpenResult openInto(PdfDocumentImpl& impl, const std::string& password) {
    Opened opened;
    OpenResult r = openSource(impl, password, opened);
    if (r != OpenResult::Opened)
        return r;
    impl.encrypted = opened.encrypted;
    impl.ownerPasswordMatched = opened.ownerPasswordMatched;
    impl.locked = false;
    impl.qpdf = std::move(opened.qpdf);
    impl.pages.reset();
    return r;
}

std::unique_ptr<PdfDocument> openImpl(std::shared_ptr<PdfDocumentImpl> impl,
                                      PdfDocument* (*make)(std::shared_ptr<PdfDocumentImpl>)) {
    switch (openInto(*impl, "")) {
    case OpenResult::Opened:
        break;
    case OpenResult::WrongPassword:
        impl->encrypted = true;
        impl->locked = true;
        break;
    case OpenResult::Failed:
        return nullptr;
    }
    return std::unique_ptr<PdfDocument>(make(std::move(impl)));
}

} // namespace

PdfDocument::PdfDocument(std::shared_ptr<PdfDocumentImpl> impl) : impl_(std::move(impl)) {}
PdfDocument::~PdfDocument() {
    impl_.reset();
#ifdef __GLIBC__
    // Parsing leaves the heap in small freed pieces that glibc keeps; hand
    // them back, so that a document opened only to count its pages does not
    // hold its parse's peak for the rest of the run.
    if (returnsMemoryOnClose_)
        malloc_trim(0);
#endif
}

std::unique_ptr<PdfDocument> PdfDocument::open(const std::string& path) {
    if (path.empty() || isDirectory(path))
        return nullptr;
    auto impl = std::make_shared<PdfDocumentImpl>();
    impl->path = path;
    impl->description = path;
    return openImpl(std::move(impl), [](std::shared_ptr<PdfDocumentImpl> i) {
        return new PdfDocument(std::move(i));
    });
}

std::unique_ptr<PdfDocument> PdfDocument::openFromMemory(const std::string& bytes,
                                                         const std::string& description) {
    if (bytes.empty())
        return nullptr;
    auto impl = std::make_shared<PdfDocumentImpl>();
    impl->memory = bytes;
    impl->description = description.empty() ? "memory" : description;
    return openImpl(std::move(impl), [](std::shared_ptr<PdfDocumentImpl> i) {
        return new PdfDocument(std::move(i));
    });
}

bool PdfDocument::isEncrypted() const { return impl_->encrypted; }
bool PdfDocument::isUnlocked() const { return !impl_->locked; }

bool PdfDocument::unlockWithPassword(const std::string& password) {
    // A separate attempt, so that a wrong password leaves this document as it was.
    Opened attempt;
    if (openSource(*impl_, password, attempt) != OpenResult::Opened)
        return false;
    // A file that is not encrypted has nothing to unlock; an encrypted one
    // counts as unlocked only when qpdf accepted this password.
    if (attempt.encrypted && !attempt.passwordMatched)
        return false;
    impl_->qpdf = std::move(attempt.qpdf);
    impl_->pages.reset();
    impl_->encrypted = attempt.encrypted;
    impl_->ownerPasswordMatched = attempt.ownerPasswordMatched;
    impl_->locked = false;
    return true;
}

bool PdfDocument::allowsPrinting() const {
    if (impl_->locked || !impl_->qpdf)
        return false;
    if (!impl_->encrypted || impl_->ownerPasswordMatched)
        return true;
    try {
        return impl_->qpdf->allowPrintLowRes();
    } catch (const std::exception&) {
        return false;
    }
}

size_t PdfDocument::pageCount() const {
    if (impl_->locked || !impl_->qpdf)
        return 0;
    return pagesOf(*impl_).size();
}

std::unique_ptr<PdfPage> PdfDocument::page(size_t pageNumber) const {
    if (pageNumber == 0 || pageNumber > pageCount())
        return nullptr;
    try {
        QPDFObjectHandle h = pagesOf(*impl_).at(pageNumber - 1);
        if (!h.isDictionary())
            return nullptr;
        return std::make_unique<PdfPage>(impl_, PdfObjectAccess::wrap(h), pageNumber);
    } catch (const std::exception&) {
        return nullptr;
    }
}

PdfObject PdfDocument::infoDictionary() const {
    if (impl_->locked || !impl_->qpdf)
        return PdfObject();
    try {
        QPDFObjectHandle info = impl_->qpdf->getTrailer().getKey("/Info");
        if (!info.isDictionary())
            return PdfObject();
        return PdfObjectAccess::wrap(info);
    } catch (const std::exception&) {
        return PdfObject();
    }
}

std::string PdfDocument::version() const {
    if (impl_->locked || !impl_->qpdf)
        return "";
    return impl_->qpdf->getPDFVersion();
}

PdfPage::PdfPage(std::shared_ptr<PdfDocumentImpl> doc, PdfObject dictionary, size_t pageNumber)
    : doc_(std::move(doc)), dictionary_(std::move(dictionary)), pageNumber_(pageNumber) {}

namespace {
// Page attributes that the page tree passes down to its pages.
PdfObject inheritedAttribute(const PdfObject& page, const std::string& key) {
    PdfObject node = page;
    // The depth limit guards against a /Parent loop in a damaged file.
    for (int depth = 0; depth < 64 && node.isDictionary(); ++depth) {
        PdfObject v = node.get(key);
        if (!v.isNull())
            return v;
        node = node.get("Parent");
    }
    return PdfObject();
}
} // namespace

std::optional<Rect> PdfPage::mediaBox() const {
    PdfObject box = inheritedAttribute(dictionary_, "MediaBox");
    if (box.arraySize() != 4)
        return std::nullopt;
    double v[4];
    for (size_t i = 0; i < 4; ++i) {
        auto n = box.numberAt(i);
        if (!n || !std::isfinite(*n))
            return std::nullopt;
        v[i] = *n;
    }
    Rect r = Rect{{v[0], v[1]}, {v[2] - v[0], v[3] - v[1]}}.standardized();
    if (r.isEmpty())
        return std::nullopt;
    return r;
}

int PdfPage::rotation() const {
    auto r = inheritedAttribute(dictionary_, "Rotate").number();
    if (!r || !std::isfinite(*r) || std::fabs(*r) > 1e9)
        return 0;
    return static_cast<int>(*r);
}

std::string PdfPage::contentData(uint64_t maxBytes) const {
    std::string out;
    PdfObject contents = dictionary_.get("Contents");
    auto append = [&out, maxBytes](const PdfObject& s) {
        if (!s.isStream())
            return;
        bool exceeded = false;
        const uint64_t left = maxBytes - std::min<uint64_t>(maxBytes, out.size());
        auto data = s.streamData(left, &exceeded);
        if (exceeded || (data && !out.empty() && out.size() + 1 + data->size() > maxBytes))
            throw PdfBudgetExceeded("The page's content decodes to more than " +
                                    std::to_string(maxBytes) + " bytes.");
        if (data) {
            if (!out.empty())
                out.push_back('\n');
            out += *data;
        }
    };
    if (contents.isArray()) {
        for (size_t i = 0; i < contents.arraySize(); ++i)
            append(contents.at(i));
    } else {
        append(contents);
    }
    return out;
}

} // namespace platform
