#pragma once
// Internal to the content interpreter: its shared per-page context, its
// resource collections and the operator callbacks, grouped by concern in
// QVPDFConentParser{Text,Path,Graphics,XObject}.cpp.

#include "pdf/colour/QVPDFColorSpaceCollection.h"
#include "pdf/content/QVPDFConentParser.h"
#include "pdf/content/QVPDFExtGStateCollection.h"
#include "pdf/content/QVPDFPageBudget.h"
#include "pdf/font/QVPDFFont.h"
#include "pdf/shading/QVPDFShadingPatternCollection.h"
#include "pdf/xobject/QVPDFXObjectCollection.h"
#include "platform/pdf/PdfContentScanner.h"

#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

struct QVPDFConentParser::Collections {
    QVPDFFontCollection fonts;
    QVPDFColorSpaceCollection colorSpaces;
    QVPDFXObjectCollection xObjects;
    QVPDFExtGStateCollection extGStates;
    QVPDFShadingPatternCollection shadings;
};

struct QVPDFConentParser::PageContext {
    /// Form streams being run, outermost first: a form met again on this path
    /// would recurse, and is cut.
    std::vector<platform::PdfObjectId> activeForms;
    explicit PageContext(const QVPDFPageBudget& b) : budget(b), operations{b.maxOperations, 0} {}
    QVPDFPageBudget budget;
    /// Operators run so far on the page, its forms' included.
    platform::PdfOperationBudget operations;
    /// Decoded content bytes interpreted so far: the page's, and each form's
    /// at every invocation.
    uint64_t contentBytes = 0;
    /// Form invocations so far.
    uint64_t formInvocations = 0;
    /// Collections by resource dictionary, so a form invoked again and again
    /// parses its fonts once per page.
    std::map<uint64_t, std::shared_ptr<Collections>> cache;
    /// Inline images met so far on the page; names them "EI-1", "EI-2", ...
    uint64_t inlineImageCount = 0;
};

struct QVPDFConentParser::Operators {
    struct Entry {
        const char* name;
        platform::PdfOperatorCallback callback;
    };
    /// The operator table's entries in registration order.
    static std::vector<Entry> entries();

    static QVPDFConentParser& parser(void* info) { return *static_cast<QVPDFConentParser*>(info); }

    /// A number operand that a PDF real can hold; NaN, infinities and values
    /// beyond the real range are damage.
    static bool popReal(platform::PdfScanner& s, double& out) {
        constexpr double kMaxReal = 3.403e38;
        return s.popNumber(out) && std::isfinite(out) && std::fabs(out) <= kMaxReal;
    }
    /// `n` reals, stored in operand order.
    static bool popReals(platform::PdfScanner& s, double* out, int n) {
        for (int i = n - 1; i >= 0; --i)
            if (!popReal(s, out[i]))
                return false;
        return true;
    }

    // Marked content, compatibility sections: nothing.
    static void none(platform::PdfScanner&, void*) {}

    // Text (QVPDFConentParserText.cpp).
    static void showTextString(QVPDFConentParser& p, const std::string& bytes);
    static void BT(platform::PdfScanner&, void*);
    static void ET(platform::PdfScanner&, void*);
    static void Tj(platform::PdfScanner&, void*);
    static void quote(platform::PdfScanner&, void*);
    static void doubleQuote(platform::PdfScanner&, void*);
    static void TJ(platform::PdfScanner&, void*);
    static void Tm(platform::PdfScanner&, void*);
    static void Td(platform::PdfScanner&, void*);
    static void TD(platform::PdfScanner&, void*);
    static void Tstar(platform::PdfScanner&, void*);
    static void Tw(platform::PdfScanner&, void*);
    static void Tc(platform::PdfScanner&, void*);
    static void TL(platform::PdfScanner&, void*);
    static void Tz(platform::PdfScanner&, void*);
    static void Ts(platform::PdfScanner&, void*);
    static void Tf(platform::PdfScanner&, void*);
    static void Tr(platform::PdfScanner&, void*);

    // Colour and graphics state (QVPDFConentParserGraphics.cpp).
    static void CS(platform::PdfScanner&, void*);
    static void cs(platform::PdfScanner&, void*);
    static void G(platform::PdfScanner&, void*);
    static void g(platform::PdfScanner&, void*);
    static void K(platform::PdfScanner&, void*);
    static void k(platform::PdfScanner&, void*);
    static void RG(platform::PdfScanner&, void*);
    static void rg(platform::PdfScanner&, void*);
    static void ri(platform::PdfScanner&, void*);
    static void SC(platform::PdfScanner&, void*);
    static void sc(platform::PdfScanner&, void*);
    static void SCN(platform::PdfScanner&, void*);
    static void scn(platform::PdfScanner&, void*);
    static void gs(platform::PdfScanner&, void*);
    static void cm(platform::PdfScanner&, void*);
    static void q(platform::PdfScanner&, void*);
    static void Q(platform::PdfScanner&, void*);
    static void sh(platform::PdfScanner&, void*);
    static void i(platform::PdfScanner&, void*);
    static void d(platform::PdfScanner&, void*);
    static void w(platform::PdfScanner&, void*);
    static void j(platform::PdfScanner&, void*);
    static void J(platform::PdfScanner&, void*);
    static void M(platform::PdfScanner&, void*);

    // Paths (QVPDFConentParserPath.cpp).
    static void paint(QVPDFConentParser& p, bool close, bool evenOdd, bool stroke, bool fill);
    static void b(platform::PdfScanner&, void*);
    static void B(platform::PdfScanner&, void*);
    static void bstar(platform::PdfScanner&, void*);
    static void Bstar(platform::PdfScanner&, void*);
    static void f(platform::PdfScanner&, void*);
    static void F(platform::PdfScanner&, void*);
    static void fstar(platform::PdfScanner&, void*);
    static void s(platform::PdfScanner&, void*);
    static void S(platform::PdfScanner&, void*);
    static void n(platform::PdfScanner&, void*);
    static void re(platform::PdfScanner&, void*);
    static void l(platform::PdfScanner&, void*);
    static void m(platform::PdfScanner&, void*);
    static void h(platform::PdfScanner&, void*);
    static void W(platform::PdfScanner&, void*);
    static void Wstar(platform::PdfScanner&, void*);
    static void c(platform::PdfScanner&, void*);
    static void v(platform::PdfScanner&, void*);
    static void y(platform::PdfScanner&, void*);

    // XObjects and inline images (QVPDFConentParserXObject.cpp).
    static void Do(platform::PdfScanner&, void*);
    static void EI(platform::PdfScanner&, void*);
    static void runFormXObject(QVPDFConentParser& p, const std::string& name,
                               const platform::PdfObject& stream);
};
