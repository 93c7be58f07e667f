#pragma once
// Defaults of the property records and their WordprocessingML form. The
// writers of w:rPr, w:pPr and w:sectPr follow the schema's child order:
// Word drops children written out of sequence.
//
// All elements go into the WordprocessingML main namespace, which the caller
// has bound (prefix "w") on the document's root.

#include "docx/QVDocxProperties.h"

#include <optional>
#include <string>
#include <string_view>

class XMLFileWriter;

class QVDocxUtilities {
public:
    QVDocxUtilities() = delete;

    /// 12 pt Times New Roman, black, upright, normal width, no proofing.
    static QVDocx_RPr defaultRProperty();
    /// No spacing before or after, exact 12 pt lines, left-aligned, indented 60 pt.
    static QVDocx_PPr defaultPProperty();
    /// A continuous section of 578 x 640 pt, 63 pt top margin, one column,
    /// a line grid of 15.6 pt; not written until `write` is set.
    static QVDocx_SectPr defaultSectProperty();

    static void WriteRProperty(const QVDocx_RPr& rPr, XMLFileWriter& writer);
    /// Tab stops, when the list has any, come first, where the schema puts them.
    static void WritePProperty(const QVDocx_PPr& pPr, const QVDocx_RPr& rPr,
                               const QVDocx_SectPr& sectPr, const QVDocx_Tabs& tabs,
                               XMLFileWriter& writer);
    /// Nothing when the record's `write` is 0.
    static void WriteSectProperty(const QVDocx_SectPr& sectPr, XMLFileWriter& writer);

    /// The Chinese name of a font known by a Latin one ("SimSun" -> "宋体");
    /// any other name unchanged.
    static std::string LocalFontName(std::string_view fontName);
    /// VML style text of text on a path in this run's font.
    static std::string TextPathStyleForRProperty(const QVDocx_RPr& rPr);

    static std::string _sectTypeValue(int32_t type);
    static std::string _scriptValue(int32_t script);
    static std::string _underlineValue(int32_t underline);

    /// Full path of a resource of the QVLunabrisk bundle ("Folder/file"), or
    /// none when the bundle or the file is missing.
    static std::optional<std::string> PathInLibBundleForResource(const std::string& relativePath);

    /// A length in points as twentieths of a point, the way every length of
    /// the properties is written: the single-precision product rounded to the
    /// nearest whole number, halves to even ("%0.0f").
    static std::string twips(float points);
    /// A font size in points as half-points, rounded the same way.
    static std::string halfPoints(float points);
    /// "RRGGBB" in upper-case hex; components outside 0-255 are clamped.
    static std::string hexColor(const QVDocx_Color& color);
};
