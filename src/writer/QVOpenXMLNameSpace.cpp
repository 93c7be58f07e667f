#include "writer/QVOpenXMLNameSpace.h"

std::string_view QVOpenXMLNameSpace::nameSpace_a() {
    return "http://schemas.openxmlformats.org/drawingml/2006/main";
}
std::string_view QVOpenXMLNameSpace::nameSpace_p() {
    return "http://schemas.openxmlformats.org/presentationml/2006/main";
}
std::string_view QVOpenXMLNameSpace::nameSpace_r() {
    return "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
}
std::string_view QVOpenXMLNameSpace::nameSpace_w() {
    return "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
}
std::string_view QVOpenXMLNameSpace::nameSpace_vt() {
    return "http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes";
}
std::string_view QVOpenXMLNameSpace::nameSpace_cp() {
    return "http://schemas.openxmlformats.org/package/2006/metadata/core-properties";
}
std::string_view QVOpenXMLNameSpace::nameSpace_dc() {
    return "http://purl.org/dc/elements/1.1/";
}
std::string_view QVOpenXMLNameSpace::nameSpace_dcterms() {
    return "http://purl.org/dc/terms/";
}
std::string_view QVOpenXMLNameSpace::nameSpace_dcmitype() {
    return "http://purl.org/dc/dcmitype/";
}
std::string_view QVOpenXMLNameSpace::nameSpace_xsi() {
    return "http://www.w3.org/2001/XMLSchema-instance";
}
std::string_view QVOpenXMLNameSpace::nameSpace_Rels() {
    return "http://schemas.openxmlformats.org/package/2006/relationships";
}
std::string_view QVOpenXMLNameSpace::nameSpace_Rels_WorkSheet() {
    return "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
}
std::string_view QVOpenXMLNameSpace::nameSpace_SpreadSheetml2006Main() {
    return "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
}
