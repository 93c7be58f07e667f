#include "docx/QVDocxRun.h"

#include "docx/QVDocxUtilities.h"

QVDocxRun::QVDocxRun() : rProperty_(QVDocxUtilities::defaultRProperty()) {}
