#pragma once
// The text properties of one spreadsheet run: what the styles need of the
// font the page showed it in.

#include <cstdint>
#include <optional>
#include <string>

class QVExcelRunTextProperty {
public:
    /// Font size in points.
    double sz() const { return sz_; }
    void setSz(double v) { sz_ = v; }
    /// Carried, never set or written.
    int32_t charset() const { return charset_; }
    void setCharset(int32_t v) { charset_ = v; }
    /// Font name, valid UTF-8.
    const std::string& rFont() const { return rFont_; }
    void setRFont(std::string v) { rFont_ = std::move(v); }
    const std::optional<std::string>& family() const { return family_; }
    void setFamily(std::optional<std::string> v) { family_ = std::move(v); }
    /// Carried, never set or written.
    const std::optional<std::string>& scheme() const { return scheme_; }
    void setScheme(std::optional<std::string> v) { scheme_ = std::move(v); }
    bool i() const { return i_; }
    void setI(bool v) { i_ = v; }
    bool b() const { return b_; }
    void setB(bool v) { b_ = v; }
    /// Carried, never set or written.
    bool strike() const { return strike_; }
    void setStrike(bool v) { strike_ = v; }
    /// The colour as 0xRRGGBB; none for no colour.
    const std::optional<uint32_t>& rgbColor() const { return rgbColor_; }
    void setRgbColor(std::optional<uint32_t> v) {
        rgbColor_ = v ? std::optional<uint32_t>(*v & 0xFFFFFF) : std::nullopt;
    }

    /// Same size (exactly), colour and family: pieces that may be joined into
    /// one word, and runs that make no rich text together. Bold, italic and
    /// the font name take no part, so faces and subsets of one family join.
    bool isEqualToRPr(const QVExcelRunTextProperty& other) const;
    /// Same size (exactly) and colour: runs the table analysis may merge.
    bool isSameToRPr(const QVExcelRunTextProperty& other) const;

private:
    double sz_ = 12.0;
    int32_t charset_ = 0;
    std::string rFont_ = "Calibri";
    std::optional<std::string> family_;
    std::optional<std::string> scheme_;
    bool i_ = false;
    bool b_ = false;
    bool strike_ = false;
    // A near-black grey until the exporter sets the run's real colour.
    std::optional<uint32_t> rgbColor_ = 0x2f2b20;
};
