#pragma once
// The namespace and relationship-type URIs of Office Open XML and Dublin Core
// that more than one package writer names, so every part spells them alike.
// Only the URIs: the prefixes are bound by the callers.

#include <string_view>

class QVOpenXMLNameSpace {
public:
    QVOpenXMLNameSpace() = delete;

    static std::string_view nameSpace_a();
    static std::string_view nameSpace_p();
    static std::string_view nameSpace_r();
    static std::string_view nameSpace_w();
    static std::string_view nameSpace_vt();
    static std::string_view nameSpace_cp();
    static std::string_view nameSpace_dc();
    static std::string_view nameSpace_dcterms();
    static std::string_view nameSpace_dcmitype();
    static std::string_view nameSpace_xsi();
    static std::string_view nameSpace_Rels();
    static std::string_view nameSpace_Rels_WorkSheet();
    static std::string_view nameSpace_SpreadSheetml2006Main();
};
