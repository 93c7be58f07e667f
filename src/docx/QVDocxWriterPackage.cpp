// The package of QVDocxWriter: the parts besides document.xml, and the zip.
#include "docx/QVDocxWriter.h"

#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "writer/QVDeflatedPartStore.h"
#include "writer/QVOpenXMLNameSpace.h"
#include "writer/QVPackagePart.h"
#include "writer/QVZipArchive.h"
#include "writer/XMLFileWriter.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <exception>
#include <map>
#include <stdexcept>

namespace {

const char* const kContentTypesNS = "http://schemas.openxmlformats.org/package/2006/content-types";
const char* const kExtendedPropertiesNS =
    "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties";
const char* const kRelOfficeDocument =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
const char* const kRelExtendedProperties =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties";
// The package's own relationship type, as every reader expects it (the
// variant under the officeDocument path is unknown to strict readers).
const char* const kRelCoreProperties =
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties";

const char* const kContentTypesPart = "[Content_Types].xml";
const char* const kRootRelsPart = "_rels/.rels";
const char* const kAppPart = "docProps/app.xml";
const char* const kCorePart = "docProps/core.xml";
const char* const kDocumentPart = "word/document.xml";
const char* const kDocumentRelsPart = "word/_rels/document.xml.rels";
const char* const kFontTablePart = "word/fontTable.xml";
const char* const kSettingsPart = "word/settings.xml";
const char* const kStylesPart = "word/styles.xml";
const char* const kThemePart = "word/theme/theme1.xml";
const char* const kWebSettingsPart = "word/webSettings.xml";

const char* const kStylesTemplate = "docx-template-styles-2006.xml";
const char* const kThemeTemplate = "docx-template-theme1-2006.xml";
const char* const kWebSettingsTemplate = "docx-template-webSettings-2006.xml";

const std::pair<const char*, const char*> kOverrides[] = {
    {kDocumentPart, "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"},
    {kStylesPart, "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"},
    {kSettingsPart, "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml"},
    {kThemePart, "application/vnd.openxmlformats-officedocument.theme+xml"},
    {kFontTablePart, "application/vnd.openxmlformats-officedocument.wordprocessingml.fontTable+xml"},
    {kWebSettingsPart,
     "application/vnd.openxmlformats-officedocument.wordprocessingml.webSettings+xml"},
    {kAppPart, "application/vnd.openxmlformats-officedocument.extended-properties+xml"},
    {kCorePart, "application/vnd.openxmlformats-package.core-properties+xml"},
};

/// The content type of a medium by its extension (lower case).
std::string imageContentType(const std::string& extension) {
    static const std::map<std::string, std::string> kTypes = {
        {"jpg", "image/jpeg"},  {"jpeg", "image/jpeg"}, {"png", "image/png"},
        {"jp2", "image/jp2"},   {"gif", "image/gif"},   {"tif", "image/tiff"},
        {"tiff", "image/tiff"}, {"bmp", "image/bmp"}};
    auto it = kTypes.find(extension);
    return it != kTypes.end() ? it->second : "application/octet-stream";
}

std::string lowercase(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

/// An element of the w namespace with one w:val attribute.
void valElement(XMLFileWriter& w, std::string_view name, std::string_view attribute,
                std::string_view value) {
    const auto ns = QVOpenXMLNameSpace::nameSpace_w();
    w.writeStartElementWithNamespace(ns, name);
    w.writeAttributeWithNamespace(ns, attribute, value);
    w.writeEndElement();
}

} // namespace

bool QVDocxWriter::packetDocxFile() {
    if (!failureReason_.empty())
        return false;
    if (savedWorkFolder_.empty())
        return fail("The document has no work folder");
    if (documentWriter_)
        return fail("The document has not ended");
    if (!zipPackage())
        return false;
    parts_.reset();
    removeWorkFolder();
    return true;
}

std::unique_ptr<XMLFileWriter> QVDocxWriter::openPart(const std::string& part) const {
    return openPackagePart(*archive_, part);
}

void QVDocxWriter::added(bool ok, const std::string& part) const {
    requirePackagePartAdded(*archive_, ok, part);
}

void QVDocxWriter::_docxWrite_Word_Document() const {
    added(parts_ && archive_->addStoredPartToZip(*parts_, kDocumentPart, kDocumentPart),
          kDocumentPart);
}

void QVDocxWriter::_docxWrite_Rels() const {
    auto writer = openPart(kRootRelsPart);
    XMLFileWriter& w = *writer;
    w.writeStartElement("Relationships");
    w.writeAttribute("xmlns", QVOpenXMLNameSpace::nameSpace_Rels());
    w.writeRelationship("rId1", kRelExtendedProperties, kAppPart);
    w.writeRelationship("rId2", kRelCoreProperties, kCorePart);
    w.writeRelationship("rId3", kRelOfficeDocument, kDocumentPart);
    w.writeEndElement();
    w.writeEndDocument();
}

void QVDocxWriter::_docxWrite_DocProps_app() const {
    auto writer = openPart(kAppPart);
    XMLFileWriter& w = *writer;
    w.setPrefix(std::string("vt"), std::string(QVOpenXMLNameSpace::nameSpace_vt()));
    w.writeStartElement("Properties");
    w.writeAttribute("xmlns", kExtendedPropertiesNS);
    w.writeTextElement("Template", "Normal.dotm");
    w.writeTextElement("TotalTime", "0");
    w.writeTextElement("Application", "Microsoft Office Word");
    w.writeTextElement("DocSecurity", "0");
    w.writeTextElement("ScaleCrop", "false");
    w.writeStartElement("Company");
    w.writeEndElement();
    w.writeTextElement("LinksUpToDate", "false");
    w.writeTextElement("SharedDoc", "false");
    w.writeTextElement("HyperlinksChanged", "false");
    w.writeEndElement();
    w.writeEndDocument();
}

void QVDocxWriter::_docxWrite_DocProps_core() const {
    const std::string cp(QVOpenXMLNameSpace::nameSpace_cp());
    auto writer = openPart(kCorePart);
    XMLFileWriter& w = *writer;
    w.setPrefix(std::string("cp"), cp);
    w.setPrefix(std::string("dc"), std::string(QVOpenXMLNameSpace::nameSpace_dc()));
    w.setPrefix(std::string("dcterms"), std::string(QVOpenXMLNameSpace::nameSpace_dcterms()));
    w.setPrefix(std::string("dcmitype"), std::string(QVOpenXMLNameSpace::nameSpace_dcmitype()));
    w.setPrefix(std::string("xsi"), std::string(QVOpenXMLNameSpace::nameSpace_xsi()));
    w.writeStartElementWithNamespace(cp, "coreProperties");
    w.writeEndElement();
    w.writeEndDocument();
}

void QVDocxWriter::_docxWrite_ContentTypes() const {
    auto writer = openPart(kContentTypesPart);
    XMLFileWriter& w = *writer;
    w.writeStartElement("Types");
    w.writeAttribute("xmlns", kContentTypesNS);
    auto defaultType = [&](const std::string& extension, const std::string& type) {
        w.writeStartElement("Default");
        w.writeAttribute("Extension", extension);
        w.writeAttribute("ContentType", type);
        w.writeEndElement();
    };
    defaultType("rels", "application/vnd.openxmlformats-package.relationships+xml");
    defaultType("xml", "application/xml");
    for (const auto& [part, type] : kOverrides) {
        w.writeStartElement("Override");
        w.writeAttribute("PartName", std::string("/") + part);
        w.writeAttribute("ContentType", type);
        w.writeEndElement();
    }
    // Every extension the media have, once (a part no type covers makes the
    // package unreadable).
    std::vector<std::string> extensions;
    for (const std::string& target : mediaTargets_) {
        std::string extension = lowercase(platform::splitExtension(target).second);
        if (!extension.empty() && extension != "xml" && extension != "rels" &&
            std::find(extensions.begin(), extensions.end(), extension) == extensions.end())
            extensions.push_back(extension);
    }
    for (const std::string& extension : extensions)
        defaultType(extension, imageContentType(extension));
    // A medium without an extension gets a type of its own.
    for (const std::string& target : mediaTargets_) {
        if (!platform::splitExtension(target).second.empty())
            continue;
        w.writeStartElement("Override");
        w.writeAttribute("PartName", "/word/" + target);
        w.writeAttribute("ContentType", "application/octet-stream");
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
}

void QVDocxWriter::_docxWrite_Word_Media() {
    // Straight from the files the pages made; images already compressed are stored.
    for (size_t k = 0; k < docxMediaCollection_.size(); ++k) {
        const std::string part = "word/" + mediaTargets_[k];
        added(archive_->addFileToZip(docxMediaCollection_[k], part), part);
    }
}

void QVDocxWriter::_docxWrite_Word_Rels() const {
    auto writer = openPart(kDocumentRelsPart);
    XMLFileWriter& w = *writer;
    w.writeStartElement("Relationships");
    w.writeAttribute("xmlns", QVOpenXMLNameSpace::nameSpace_Rels());
    for (size_t k = 0; k < docxRelationships_.size(); ++k)
        w.writeRelationship("rId" + platform::formatInteger(static_cast<long long>(k + 1)),
                     docxRelationships_[k].type, docxRelationships_[k].target);
    w.writeEndElement();
    w.writeEndDocument();
}

void QVDocxWriter::_docxWrite_Word_FontTable() const {
    const auto ns = QVOpenXMLNameSpace::nameSpace_w();
    auto writer = openPart(kFontTablePart);
    XMLFileWriter& w = *writer;
    w.setPrefix(std::string("r"), std::string(QVOpenXMLNameSpace::nameSpace_r()));
    w.setPrefix(std::string("w"), std::string(ns));
    w.writeStartElementWithNamespace(ns, "fonts");
    for (const FontEntry& font : docxFontTable_) {
        w.writeStartElementWithNamespace(ns, "font");
        w.writeAttributeWithNamespace(ns, "name", font.name);
        valElement(w, "altName", "val", font.altName);
        valElement(w, "charset", "val", font.charset);
        valElement(w, "family", "val", font.family);
        valElement(w, "pitch", "val", font.pitch);
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
}

void QVDocxWriter::_docxWrite_Word_Settings() const {
    const auto ns = QVOpenXMLNameSpace::nameSpace_w();
    auto writer = openPart(kSettingsPart);
    XMLFileWriter& w = *writer;
    const std::pair<const char*, std::string> prefixes[] = {
        {"o", "urn:schemas-microsoft-com:office:office"},
        {"r", std::string(QVOpenXMLNameSpace::nameSpace_r())},
        {"m", "http://schemas.openxmlformats.org/officeDocument/2006/math"},
        {"v", "urn:schemas-microsoft-com:vml"},
        {"w10", "urn:schemas-microsoft-com:office:word"},
        {"w", std::string(ns)},
        {"sl", "http://schemas.openxmlformats.org/schemaLibrary/2006/main"}};
    for (const auto& [prefix, uri] : prefixes)
        w.setPrefix(std::string(prefix), uri);
    w.writeStartElementWithNamespace(ns, "settings");
    // The document's view: "print" is the schema's name for the page view.
    valElement(w, "view", "val", docxProperty_.view == "page" ? "print" : docxProperty_.view);
    valElement(w, "zoom", "percent",
               platform::formatInteger(static_cast<long long>(std::lround(docxProperty_.zoom))));
    valElement(w, "defaultTabStop", "val", "720");
    valElement(w, "drawingGridHorizontalSpacing", "val", "110");
    valElement(w, "displayHorizontalDrawingGridEvery", "val", "2");
    valElement(w, "characterSpacingControl", "val", "doNotCompress");
    w.writeStartElementWithNamespace(ns, "compat");
    w.writeStartElementWithNamespace(ns, "ulTrailSpace");
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
}

void QVDocxWriter::_docxWrite_Word_Template(const std::string& templateName,
                                            const std::string& part) const {
    // A missing template would leave a part that the relationships and
    // content types name out of the package: the document fails instead.
    auto path = pathForDocxTemplatesResources(templateName);
    if (!path)
        throw std::runtime_error("The template " + templateName +
                                 " is missing from the QVLunabrisk resources");
    auto text = platform::readFile(*path);
    if (!text)
        throw std::runtime_error("Could not read the template " + *path);
    // Dated as it is written, as the other parts are (not by the installed file).
    added(archive_->addDataToZip(*text, part), part);
}

bool QVDocxWriter::zipPackage() {
    if (platform::isDirectory(savedFilePath_))
        return fail("A folder is at the output path " + savedFilePath_);
    const std::string temp = platform::siblingTemporaryPath(savedFilePath_);
    platform::RemoveOnExit guard(temp);
    QVZipArchive archive;
    if (!archive.CreateZipFile2(temp))
        return fail("Could not create the package beside " + savedFilePath_ + ": " +
                    std::strerror(errno));
    // The parts every document has, then the media: the content types
    // first, where readers that sniff a package look for them.
    archive_ = &archive;
    try {
        _docxWrite_ContentTypes();
        _docxWrite_Rels();
        _docxWrite_DocProps_app();
        _docxWrite_DocProps_core();
        _docxWrite_Word_Document();
        _docxWrite_Word_Rels();
        _docxWrite_Word_FontTable();
        _docxWrite_Word_Settings();
        _docxWrite_Word_Template(kStylesTemplate, kStylesPart);
        _docxWrite_Word_Template(kThemeTemplate, kThemePart);
        _docxWrite_Word_Template(kWebSettingsTemplate, kWebSettingsPart);
        _docxWrite_Word_Media();
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
