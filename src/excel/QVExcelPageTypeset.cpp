// The grid placement of a page's runs. Until the geometric table analysis is
// in place, runs keep the row, column and spans they were given; runs
// without a position take no part in the sheet.
#include "excel/QVExcelPage.h"

void QVExcelPage::typesetRunTexts() {}
