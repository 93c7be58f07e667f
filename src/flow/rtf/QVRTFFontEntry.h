#pragma once
// A font of the RTF font table; entries made from runs carry their size in
// half-points.

#include "pdf/font/ReaderFontNames.h"

#include <cstdint>
#include <string>

class QVRTFFontEntry {
public:
    QVRTFFontEntry() = default;
    QVRTFFontEntry(std::string name, double size) : fontName_(std::move(name)), fontSize_(size) {}

    bool isEqualToFont(const QVRTFFontEntry& other) const {
        return fontName_ == other.fontName_ && fontSize_ == other.fontSize_;
    }
    bool isEqualToName(const std::string& name, double size) const {
        return fontName_ == name && fontSize_ == size;
    }
    /// "\fN\fnil\fcharset0 Name;": the name escaped like body text, its `;`
    /// dropped (it would end the entry); ";" for an entry without a name.
    /// A known kind is the family class (\froman, \fswiss, \fmodern)
    /// readers fall back on when they lack the font.
    std::string rtfFormat() const;

    int32_t fontIndex() const { return fontIndex_; }
    void setFontIndex(int32_t v) { fontIndex_ = v; }
    const std::string& fontName() const { return fontName_; }
    void setFontName(std::string v) { fontName_ = std::move(v); }
    double fontSize() const { return fontSize_; }
    void setFontSize(double v) { fontSize_ = v; }
    bool bold() const { return bold_; }
    void setBold(bool v) { bold_ = v; }
    bool italic() const { return italic_; }
    void setItalic(bool v) { italic_ = v; }
    int32_t underline() const { return underline_; }
    void setUnderline(int32_t v) { underline_ = v; }
    ReaderFontKind kind() const { return kind_; }
    void setKind(ReaderFontKind v) { kind_ = v; }

private:
    int32_t fontIndex_ = -1;
    std::string fontName_ = "Arial Unicode MS";
    double fontSize_ = 12.0;
    bool bold_ = false;
    bool italic_ = false;
    int32_t underline_ = 0;
    ReaderFontKind kind_ = ReaderFontKind::Unknown;
};
