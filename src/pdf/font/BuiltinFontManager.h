#pragma once
// The process-wide registry of the standard 14 fonts, their aliases (Arial,
// Times New Roman, Courier New ...) and the 12 substitutes chosen by
// descriptor flags. Made once on first use; read-only afterwards.

#include "pdf/font/BuiltinFont.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class BuiltinFontManager {
public:
    static const BuiltinFontManager& sharedManager();

    /// The standard font of a name (spaces removed, aliases followed); none when unknown.
    std::shared_ptr<const BuiltinFont> findBuildinFont(const std::string& name) const;
    /// Index (0 fixed pitch, 4 sans serif, 8 serif) + 2 bold + 1 italic.
    const std::vector<std::shared_ptr<const BuiltinFont>>& fontsSubstArray() const {
        return fontsSubstArray_;
    }
    const std::vector<std::shared_ptr<const BuiltinFont>>& fontsArray() const {
        return fontsArray_;
    }

    BuiltinFontManager(const BuiltinFontManager&) = delete;
    BuiltinFontManager& operator=(const BuiltinFontManager&) = delete;

private:
    BuiltinFontManager();
    std::vector<std::shared_ptr<const BuiltinFont>> fontsArray_;
    std::vector<std::shared_ptr<const BuiltinFont>> fontsSubstArray_;
};
