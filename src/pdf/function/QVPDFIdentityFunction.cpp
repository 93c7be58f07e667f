#include "pdf/function/QVPDFIdentityFunction.h"

QVPDFIdentityFunction::QVPDFIdentityFunction() {
    m_ = kMaxInputs;
    n_ = kMaxOutputs;
    domain_.fill({0.0, 1.0});
    hasRange_ = false;
}

bool QVPDFIdentityFunction::parse(const platform::PdfObject&, const platform::PdfObject&,
                                  QVPDFResourceCache&) {
    return true;
}

void QVPDFIdentityFunction::transformInput(const Values& input, Values& output) const {
    output = input;
}
