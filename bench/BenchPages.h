#pragma once
// Page content shared by the benchmarks: a ledger page as report generators
// write it (positioned text pieces of a table, shaded rows, ruling lines).

#include <string>

namespace benchpages {

/// A ledger page of `rows` rows of seven columns with Helvetica as /F1.
inline std::string ledgerContent(int rows) {
    std::string c = "BT /F1 14 Tf 36 792 Td (Northwind Trading Ltd. - General ledger) Tj ET\n";
    for (int r = 0; r < rows; ++r) {
        const std::string y = std::to_string(760 - (r % 46) * 16);
        if (r % 2)
            c += "0.95 g 32 " + y + " 531 16 re f 0 g\n";
        c += "BT /F1 8 Tf 1 0 0 1 36 " + y + " Tm (0" + std::to_string(r % 9 + 1) +
             "/03/2023) Tj ET\n";
        c += "BT /F1 8 Tf 1 0 0 1 92 " + y + " Tm (INV-" + std::to_string(100000 + r * 7) +
             ") Tj ET\n";
        c += "BT /F1 8 Tf 1 0 0 1 160 " + y + " Tm (Consulting travel refund) Tj ET\n";
        c += "BT /F1 8 Tf 1 0 0 1 350.2 " + y + " Tm (" + std::to_string(r * 37 % 9000) +
             ".25) Tj ET\n";
        c += "BT /F1 8 Tf 1 0 0 1 480.7 " + y + " Tm (1" + std::to_string(r % 10) +
             "2,345.67) Tj ET\n";
        c += "BT /F1 8 Tf 1 0 0 1 525 " + y + " Tm (B) Tj ET\n";
    }
    c += "0.5 w 32 40 m 563 40 l S 88 760 m 88 40 l S 156 760 m 156 40 l S\n";
    return c;
}

} // namespace benchpages
