// The package of QVPPTXWriter: the parts besides the slides, and the zip.
#include "pptx/QVPPTXWriter.h"

#include "platform/AppInfo.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "pptx/QVPPTXUtilities.h"
#include "writer/QVOpenXMLNameSpace.h"
#include "writer/QVPackagePart.h"
#include "writer/QVZipArchive.h"
#include "writer/XMLFileWriter.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <mutex>
#include <stdexcept>

namespace {

const char* const kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
const char* const kPackageRel = "http://schemas.openxmlformats.org/package/2006/relationships/";
const char* const kContentTypesNS = "http://schemas.openxmlformats.org/package/2006/content-types";
const char* const kExtendedPropertiesNS =
    "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties";
const char* const kPML = "application/vnd.openxmlformats-officedocument.presentationml.";
const char* const kBundle = "QVSlidora";
constexpr int kLayouts = 11;
/// Relationships of presentation.xml before the slides.
constexpr int kFixedPresentationRels = 5;

std::function<long long()>& coreClock() {
    static std::function<long long()> c;
    return c;
}

std::string decimal(long long v) {
    return platform::formatInteger(v);
}
std::string rId(long long n) {
    return "rId" + decimal(n);
}

void element(XMLFileWriter& w, std::string_view ns, std::string_view name,
             std::initializer_list<std::pair<const char*, std::string>> attributes) {
    w.writeStartElementWithNamespace(ns, name);
    for (const auto& [key, value] : attributes)
        w.writeAttribute(key, value);
    w.writeEndElement();
}

void bindPresentationPrefixes(XMLFileWriter& w) {
    w.setPrefix(std::string("a"), std::string(QVOpenXMLNameSpace::nameSpace_a()));
    w.setPrefix(std::string("r"), std::string(QVOpenXMLNameSpace::nameSpace_r()));
    w.setPrefix(std::string("p"), std::string(QVOpenXMLNameSpace::nameSpace_p()));
}

std::string slidePart(uint64_t k) {
    return "ppt/slides/slide" + decimal(k) + ".xml";
}
std::string layoutName(int n) {
    return "slideLayout" + decimal(n) + ".xml";
}

} // namespace

void QVPPTXWriter::setClockForTesting(std::function<long long()> c) {
    coreClock() = std::move(c);
}

void QVPPTXWriter::writeParts() {
    // The content types first, where readers that sniff a package look for them.
    _pptxWrite_ContentTypes();
    _pptxWrite_Rels();
    _pptxWrite_DocProps_app();
    _pptxWrite_DocProps_core();
    copyResource("thumbnail.jpeg", "docProps/thumbnail.jpeg");
    _pptxWrite_PPT_Rels();
    _pptxWrite_PPT_Presentation();
    _pptxWrite_PPT_PresProps();
    _pptxWrite_PPT_ViewProps();
    _pptxWrite_PPT_TableStyles();
    copyResource("theme1.xml", "ppt/theme/theme1.xml");
    _pptxWrite_PPT_SlideMasters();
    _pptxWrite_PPT_SlideLayouts();
    _pptxWrite_Slides();
    _pptxWrite_PPT_Media();
}

std::unique_ptr<XMLFileWriter> QVPPTXWriter::openPart(const std::string& part) const {
    return openPackagePart(*archive_, part);
}

void QVPPTXWriter::added(bool ok, const std::string& part) const {
    requirePackagePartAdded(*archive_, ok, part);
}

void QVPPTXWriter::copyResource(const std::string& name, const std::string& part) const {
    // A missing resource would leave a part the relationships name out of
    // the package: the presentation fails instead.
    auto path = QVPPTXUtilities::pathInBundle(kBundle, name);
    if (!path)
        throw std::runtime_error("The file " + name + " is missing from the " + kBundle +
                                 " resources");
    auto bytes = platform::readFile(*path);
    if (!bytes)
        throw std::runtime_error("Could not read " + *path);
    // Dated as it is written, as the other parts are (not by the installed file).
    added(archive_->addDataToZip(*bytes, part), part);
}

void QVPPTXWriter::_pptxWrite_Slides() const {
    for (uint64_t k = 1; k <= completedSlides_; ++k) {
        const std::string n = decimal(static_cast<long long>(k));
        for (const std::string& part : {slidePart(k), "ppt/slides/_rels/slide" + n + ".xml.rels"})
            added(parts_ && archive_->addStoredPartToZip(*parts_, part, part), part);
    }
}

void QVPPTXWriter::_pptxWrite_Rels() const {
    auto writer = openPart("_rels/.rels");
    XMLFileWriter& w = *writer;
    w.writeStartElement("Relationships");
    w.writeAttribute("xmlns", QVOpenXMLNameSpace::nameSpace_Rels());
    w.writeRelationship("rId1", std::string(kRel) + "officeDocument", "ppt/presentation.xml");
    w.writeRelationship("rId2", std::string(kPackageRel) + "metadata/thumbnail",
                 "docProps/thumbnail.jpeg");
    w.writeRelationship("rId3", std::string(kPackageRel) + "metadata/core-properties",
                 "docProps/core.xml");
    w.writeRelationship("rId4", std::string(kRel) + "extended-properties", "docProps/app.xml");
    w.writeEndElement();
    w.writeEndDocument();
}

void QVPPTXWriter::_pptxWrite_ContentTypes() const {
    auto writer = openPart("[Content_Types].xml");
    XMLFileWriter& w = *writer;
    w.writeStartElement("Types");
    w.writeAttribute("xmlns", kContentTypesNS);
    for (const auto& [extension, type] :
         {std::pair<const char*, const char*>{"xml", "application/xml"},
          {"jpeg", "image/jpeg"},
          {"png", "image/png"},
          {"rels", "application/vnd.openxmlformats-package.relationships+xml"}}) {
        w.writeStartElement("Default");
        w.writeAttribute("Extension", extension);
        w.writeAttribute("ContentType", type);
        w.writeEndElement();
    }
    auto override = [&](const std::string& part, const std::string& type) {
        w.writeStartElement("Override");
        w.writeAttribute("PartName", "/" + part);
        w.writeAttribute("ContentType", type);
        w.writeEndElement();
    };
    const std::string pml = kPML;
    override("ppt/presentation.xml", pml + "presentation.main+xml");
    override("ppt/slideMasters/slideMaster1.xml", pml + "slideMaster+xml");
    override("ppt/presProps.xml", pml + "presProps+xml");
    override("ppt/viewProps.xml", pml + "viewProps+xml");
    override("ppt/theme/theme1.xml", "application/vnd.openxmlformats-officedocument.theme+xml");
    override("ppt/tableStyles.xml", pml + "tableStyles+xml");
    for (int n = 1; n <= kLayouts; ++n)
        override("ppt/slideLayouts/" + layoutName(n), pml + "slideLayout+xml");
    override("docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml");
    override("docProps/app.xml",
             "application/vnd.openxmlformats-officedocument.extended-properties+xml");
    for (uint64_t k = 1; k <= completedSlides_; ++k)
        override(slidePart(k), pml + "slide+xml");
    w.writeEndElement();
    w.writeEndDocument();
}

void QVPPTXWriter::_pptxWrite_DocProps_app() const {
    auto writer = openPart("docProps/app.xml");
    XMLFileWriter& w = *writer;
    const std::string vt(QVOpenXMLNameSpace::nameSpace_vt());
    w.setPrefix(std::string("vt"), vt);
    w.writeStartElement("Properties");
    w.writeAttribute("xmlns", kExtendedPropertiesNS);
    const std::string slides = decimal(static_cast<long long>(completedSlides_));
    w.writeTextElement("TotalTime", "7");
    w.writeTextElement("Words", "0");
    w.writeTextElement("Application", "Microsoft Office PowerPoint");
    w.writeTextElement("PresentationFormat", "On-screen Show (4:3)");
    w.writeTextElement("Paragraphs", "0");
    w.writeTextElement("Slides", slides);
    w.writeTextElement("Notes", "0");
    w.writeTextElement("HiddenSlides", "0");
    w.writeTextElement("MMClips", "0");
    w.writeTextElement("ScaleCrop", "false");
    // The titles: the theme, then one per slide, as the heading pairs count them.
    w.writeStartElement("HeadingPairs");
    w.writeStartElementWithNamespace(vt, "vector");
    w.writeAttribute("size", "4");
    w.writeAttribute("baseType", "variant");
    for (const auto& [kind, text] : {std::pair<const char*, std::string>{"lpstr", "Theme"},
                                     {"i4", "1"},
                                     {"lpstr", "Slide Titles"},
                                     {"i4", slides}}) {
        w.writeStartElementWithNamespace(vt, "variant");
        w.writeStartElementWithNamespace(vt, kind);
        w.writeCharacters(text);
        w.writeEndElement();
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeStartElement("TitlesOfParts");
    w.writeStartElementWithNamespace(vt, "vector");
    w.writeAttribute("size", decimal(static_cast<long long>(completedSlides_ + 1)));
    w.writeAttribute("baseType", "lpstr");
    w.writeStartElementWithNamespace(vt, "lpstr");
    w.writeCharacters("Office Theme");
    w.writeEndElement();
    for (uint64_t k = 1; k <= completedSlides_; ++k) {
        w.writeStartElementWithNamespace(vt, "lpstr");
        w.writeCharacters("Slide " + decimal(static_cast<long long>(k)));
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeStartElement("Company");
    w.writeEndElement();
    w.writeTextElement("LinksUpToDate", "false");
    w.writeTextElement("SharedDoc", "false");
    w.writeTextElement("HyperlinksChanged", "false");
    w.writeTextElement("AppVersion", "12.0000");
    w.writeEndElement();
    w.writeEndDocument();
}

void QVPPTXWriter::_pptxWrite_DocProps_core() const {
    const std::string cp(QVOpenXMLNameSpace::nameSpace_cp());
    const std::string dc(QVOpenXMLNameSpace::nameSpace_dc());
    const std::string dcterms(QVOpenXMLNameSpace::nameSpace_dcterms());
    const std::string xsi(QVOpenXMLNameSpace::nameSpace_xsi());
    auto writer = openPart("docProps/core.xml");
    XMLFileWriter& w = *writer;
    w.setPrefix(std::string("cp"), cp);
    w.setPrefix(std::string("dc"), dc);
    w.setPrefix(std::string("dcterms"), dcterms);
    w.setPrefix(std::string("dcmitype"), std::string(QVOpenXMLNameSpace::nameSpace_dcmitype()));
    w.setPrefix(std::string("xsi"), xsi);
    w.writeStartElementWithNamespace(cp, "coreProperties");
    w.writeStartElementWithNamespace(dc, "title");
    w.writeCharacters("Slide 1");
    w.writeEndElement();
    w.writeStartElementWithNamespace(dc, "creator");
    w.writeEndElement();
    std::string by = platform::applicationDisplayName();
    w.writeStartElementWithNamespace(cp, "lastModifiedBy");
    w.writeCharacters(by.empty() ? "Slidora" : by);
    w.writeEndElement();
    w.writeStartElementWithNamespace(cp, "revision");
    w.writeCharacters("3");
    w.writeEndElement();
    // W3CDTF in UTC with the calendar year: a "Z" date must be a UTC one.
    const std::time_t now = coreClock()
                                ? static_cast<std::time_t>(coreClock()())
                                : platform::sourceDateEpoch().value_or(std::time(nullptr));
    std::tm utc{};
    gmtime_r(&now, &utc);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%SZ", &utc);
    for (const char* name : {"created", "modified"}) {
        w.writeStartElementWithNamespace(dcterms, name);
        w.writeAttributeWithNamespace(xsi, "type", "dcterms:W3CDTF");
        w.writeCharacters(date);
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
}

void QVPPTXWriter::_pptxWrite_PPT_Rels() const {
    auto writer = openPart("ppt/_rels/presentation.xml.rels");
    XMLFileWriter& w = *writer;
    w.writeStartElement("Relationships");
    w.writeAttribute("xmlns", QVOpenXMLNameSpace::nameSpace_Rels());
    const std::string r = kRel;
    w.writeRelationship(rId(1), r + "slideMaster", "slideMasters/slideMaster1.xml");
    w.writeRelationship(rId(2), r + "presProps", "presProps.xml");
    w.writeRelationship(rId(3), r + "viewProps", "viewProps.xml");
    w.writeRelationship(rId(4), r + "theme", "theme/theme1.xml");
    w.writeRelationship(rId(5), r + "tableStyles", "tableStyles.xml");
    for (uint64_t k = 1; k <= completedSlides_; ++k)
        w.writeRelationship(rId(kFixedPresentationRels + static_cast<long long>(k)), r + "slide",
                     "slides/slide" + decimal(static_cast<long long>(k)) + ".xml");
    w.writeEndElement();
    w.writeEndDocument();
}

void QVPPTXWriter::_pptxWrite_PPT_Media() const {
    // Straight from the image files, which stay (one may be the interpreter's
    // cached file); images already compressed are stored.
    for (const Media& m : media_)
        if (m.used)
            added(archive_->addFileToZip(m.filePath, "ppt/media/" + m.mediaName),
                  "ppt/media/" + m.mediaName);
}

void QVPPTXWriter::_pptxWrite_PPT_Presentation() const {
    const std::string p(QVOpenXMLNameSpace::nameSpace_p());
    const std::string a(QVOpenXMLNameSpace::nameSpace_a());
    const std::string r(QVOpenXMLNameSpace::nameSpace_r());
    auto writer = openPart("ppt/presentation.xml");
    XMLFileWriter& w = *writer;
    bindPresentationPrefixes(w);
    w.writeStartElementWithNamespace(p, "presentation");
    w.writeAttribute("saveSubsetFonts", "1");
    w.writeStartElementWithNamespace(p, "sldMasterIdLst");
    w.writeStartElementWithNamespace(p, "sldMasterId");
    w.writeAttribute("id", "2147483648");
    w.writeAttributeWithNamespace(r, "id", "rId1");
    w.writeEndElement();
    w.writeEndElement();
    if (completedSlides_ > 0) {
        w.writeStartElementWithNamespace(p, "sldIdLst");
        for (uint64_t k = 1; k <= completedSlides_; ++k) {
            w.writeStartElementWithNamespace(p, "sldId");
            w.writeAttribute("id", decimal(255 + static_cast<long long>(k)));
            w.writeAttributeWithNamespace(r, "id",
                                          rId(kFixedPresentationRels + static_cast<long long>(k)));
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    const platform::Size size =
        slideSize_.width > 0 ? slideSize_ : platform::Size{kMinSlideSide, kMinSlideSide};
    element(w, p, "sldSz",
            {{"cx", decimal(static_cast<long long>(size.width * 12700))},
             {"cy", decimal(static_cast<long long>(size.height * 12700))},
             {"type", "screen4x3"}});
    element(w, p, "notesSz", {{"cx", "6858000"}, {"cy", "9144000"}});
    w.writeStartElementWithNamespace(p, "defaultTextStyle");
    w.writeStartElementWithNamespace(a, "defPPr");
    element(w, a, "defRPr", {{"lang", "en-US"}});
    w.writeEndElement();
    for (int n = 1; n <= 9; ++n) {
        w.writeStartElementWithNamespace(a, "lvl" + decimal(n) + "pPr");
        w.writeAttribute("marL", decimal(457200LL * (n - 1)));
        w.writeAttribute("algn", "l");
        w.writeAttribute("defTabSz", "914400");
        w.writeAttribute("rtl", "0");
        w.writeAttribute("eaLnBrk", "1");
        w.writeAttribute("latinLnBrk", "0");
        w.writeAttribute("hangingPunct", "1");
        w.writeStartElementWithNamespace(a, "defRPr");
        w.writeAttribute("sz", "1800");
        w.writeAttribute("kern", "1200");
        w.writeStartElementWithNamespace(a, "solidFill");
        element(w, a, "schemeClr", {{"val", "tx1"}});
        w.writeEndElement();
        element(w, a, "latin", {{"typeface", "+mn-lt"}});
        element(w, a, "ea", {{"typeface", "+mn-ea"}});
        element(w, a, "cs", {{"typeface", "+mn-cs"}});
        w.writeEndElement();
        w.writeEndElement();
    }
    w.writeEndElement(); // defaultTextStyle
    w.writeEndElement();
    w.writeEndDocument();
}

void QVPPTXWriter::_pptxWrite_PPT_PresProps() const {
    auto writer = openPart("ppt/presProps.xml");
    bindPresentationPrefixes(*writer);
    writer->writeStartElementWithNamespace(QVOpenXMLNameSpace::nameSpace_p(), "presentationPr");
    writer->writeEndElement();
    writer->writeEndDocument();
}

void QVPPTXWriter::_pptxWrite_PPT_SlideLayouts() const {
    for (int n = 1; n <= kLayouts; ++n) {
        copyResource(layoutName(n), "ppt/slideLayouts/" + layoutName(n));
        auto writer = openPart("ppt/slideLayouts/_rels/" + layoutName(n) + ".rels");
        XMLFileWriter& w = *writer;
        w.writeStartElement("Relationships");
        w.writeAttribute("xmlns", QVOpenXMLNameSpace::nameSpace_Rels());
        w.writeRelationship("rId1", std::string(kRel) + "slideMaster",
                     "../slideMasters/slideMaster1.xml");
        w.writeEndElement();
        w.writeEndDocument();
    }
}

void QVPPTXWriter::_pptxWrite_PPT_SlideMasters() const {
    copyResource("slideMaster1.xml", "ppt/slideMasters/slideMaster1.xml");
    auto writer = openPart("ppt/slideMasters/_rels/slideMaster1.xml.rels");
    XMLFileWriter& w = *writer;
    w.writeStartElement("Relationships");
    w.writeAttribute("xmlns", QVOpenXMLNameSpace::nameSpace_Rels());
    for (int n = 1; n <= kLayouts; ++n)
        w.writeRelationship(rId(n), std::string(kRel) + "slideLayout",
                     "../slideLayouts/" + layoutName(n));
    w.writeRelationship(rId(kLayouts + 1), std::string(kRel) + "theme", "../theme/theme1.xml");
    w.writeEndElement();
    w.writeEndDocument();
}

void QVPPTXWriter::_pptxWrite_PPT_TableStyles() const {
    const std::string a(QVOpenXMLNameSpace::nameSpace_a());
    auto writer = openPart("ppt/tableStyles.xml");
    writer->setPrefix(std::string("a"), a);
    writer->writeStartElementWithNamespace(a, "tblStyleLst");
    writer->writeAttribute("def", "{5C22544A-7EE6-4342-B048-85BDC9FD1C3A}");
    writer->writeEndElement();
    writer->writeEndDocument();
}

void QVPPTXWriter::_pptxWrite_PPT_ViewProps() const {
    const std::string p(QVOpenXMLNameSpace::nameSpace_p());
    const std::string a(QVOpenXMLNameSpace::nameSpace_a());
    auto writer = openPart("ppt/viewProps.xml");
    XMLFileWriter& w = *writer;
    bindPresentationPrefixes(w);
    w.writeStartElementWithNamespace(p, "viewPr");
    w.writeStartElementWithNamespace(p, "normalViewPr");
    w.writeAttribute("showOutlineIcons", "0");
    element(w, p, "restoredLeft", {{"sz", "15620"}});
    element(w, p, "restoredTop", {{"sz", "94660"}});
    w.writeEndElement();
    auto scale = [&] {
        w.writeStartElementWithNamespace(p, "scale");
        element(w, a, "sx", {{"n", "100"}, {"d", "100"}});
        element(w, a, "sy", {{"n", "100"}, {"d", "100"}});
        w.writeEndElement();
    };
    w.writeStartElementWithNamespace(p, "slideViewPr");
    w.writeStartElementWithNamespace(p, "cSldViewPr");
    w.writeStartElementWithNamespace(p, "cViewPr");
    w.writeAttribute("varScale", "1");
    scale();
    element(w, p, "origin", {{"x", "-252"}, {"y", "-84"}});
    w.writeEndElement();
    w.writeStartElementWithNamespace(p, "guideLst");
    element(w, p, "guide", {{"orient", "horz"}, {"pos", "2160"}});
    element(w, p, "guide", {{"pos", "2880"}});
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    w.writeStartElementWithNamespace(p, "notesTextViewPr");
    w.writeStartElementWithNamespace(p, "cViewPr");
    scale();
    element(w, p, "origin", {{"x", "0"}, {"y", "0"}});
    w.writeEndElement();
    w.writeEndElement();
    element(w, p, "gridSpacing", {{"cx", "78028800"}, {"cy", "78028800"}});
    w.writeEndElement();
    w.writeEndDocument();
}

bool QVPPTXWriter::zipPackage() {
    if (platform::isDirectory(savedFilePath_))
        return fail("A folder is at the output path " + savedFilePath_);
    const std::string temp = platform::siblingTemporaryPath(savedFilePath_);
    platform::RemoveOnExit guard(temp);
    QVZipArchive archive;
    if (!archive.CreateZipFile2(temp))
        return fail("Could not create the package beside " + savedFilePath_ + ": " +
                    std::strerror(errno));
    archive_ = &archive;
    try {
        writeParts();
    } catch (const std::exception& e) {
        archive_ = nullptr;
        return fail(e.what());
    }
    archive_ = nullptr;
    if (!archive.CloseZipFile2()) {
        const int error = archive.writeErrno();
        return fail("Could not finish the package " + temp +
                    (error != 0 ? std::string(": ") + std::strerror(error) : ""));
    }
    std::string why;
    if (!platform::moveIntoPlace(temp, savedFilePath_, why))
        return fail(why);
    guard.release();
    return true;
}
