#pragma once
// A colour space: component count, default colour and the conversions of a
// colour value to gray, RGB and CMYK. Made once by the factory from a PDF
// object, never changed afterwards, and shared by the graphics states that use
// it (std::shared_ptr<const QVPDFColorSpace>), so saving the state copies a
// pointer. A family joins the factory through the creator table in
// QVPDFColorSpace.cpp.

#include "pdf/colour/QVPDFColor.h"
#include "platform/pdf/PdfObject.h"

#include <memory>
#include <string>

class QVPDFResourceCache;

class QVPDFColorSpace {
public:
    /// Mode numbers, as getMode answers them.
    enum Mode : int {
        kUnknown = 0,
        kDeviceGray = 1,
        kCalGray = 2,
        kDeviceRGB = 3,
        kCalRGB = 4,
        kDeviceCMYK = 5,
        kLab = 6,
        kICCBased = 7,
        kIndexed = 8,
        kSeparation = 9,
        kDeviceN = 10,
        kPattern = 11,
    };

    QVPDFColorSpace() = default;
    virtual ~QVPDFColorSpace();

    /// A new colour space of the family the object names (a name or an array
    /// whose entry 0 is a name), parsed from that object; handed out even when
    /// the parse found the definition malformed. None for anything else.
    static std::shared_ptr<const QVPDFColorSpace>
    colorSpaceWithObject(const platform::PdfObject& object);
    /// The same, sharing what `cache` holds for indirect definitions and
    /// refusing definitions that contain themselves (no colour space).
    static std::shared_ptr<const QVPDFColorSpace>
    colorSpaceWithObject(const platform::PdfObject& object, QVPDFResourceCache& cache);
    /// "Unknow", "DeviceGray", ... "Pattern"; empty outside 0..11.
    static std::string colorSpaceModeName(int mode);
    static int getNumColorSpaceModes() { return 12; }

    /// Reads the definition; true when it was well formed. Called once, by the
    /// factory, before the object is shared.
    bool parse(const platform::PdfObject& object);
    /// The same; the families that contain other definitions (alternate and
    /// base spaces, tint transforms) parse those through `cache`.
    virtual bool parse(const platform::PdfObject& object, QVPDFResourceCache& cache);

    std::string getModeName() const { return colorSpaceModeName(getMode()); }
    virtual int getMode() const { return kUnknown; }
    virtual int getNComps() const { return 0; }
    /// The colour the colour-space operators install with this space.
    virtual QVPDFColor getDefaultColor() const { return {}; }
    /// Gray level 0..255.
    virtual int getGray(const QVPDFColor& color) const;
    virtual QVPDFRGB getRGB(const QVPDFColor& color) const;
    virtual QVPDFCMYK getCMYK(const QVPDFColor& color) const;
};
