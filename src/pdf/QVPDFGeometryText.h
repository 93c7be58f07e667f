#pragma once
// Diagnostic text of geometry values ("%f": six digits after the point).
#include "platform/Geometry.h"

#include <string>

std::string QVPDF_StringFromPoint(platform::Point p);
std::string QVPDF_StringFromSize(platform::Size s);
std::string QVPDF_StringFromRect(const platform::Rect& r);
std::string QVPDF_StringFromTransform(const platform::AffineTransform& t);
