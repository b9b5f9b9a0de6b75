// Doubles as text: in their shortest round-trip form, as std::to_chars writes them without a
// format (the fewest significant digits that read back as the same value, in fixed notation unless
// scientific notation is shorter: "0.13", "64", "1e+21", "5e-324", "-0"), or with a given number
// of significant digits as printf's %g writes them. Written without floating-point std::to_chars,
// which the macOS 13.0 deployment target lacks, and independent of the process locale's decimal
// point.
#pragma once

#include <string>

namespace number_text {

// Infinities and NaN come out as "inf", "-inf", "nan" and "-nan".
std::string shortest(double number);

// The text of printf's "%0.<significantDigits>g" in the C locale, whatever the process locale:
// how NSNumber's stringValue writes a 32-bit float (7 digits) and a double (16). Infinities and NaN
// come out as shortest() writes them.
std::string withSignificantDigits(double number, int significantDigits);

}  // namespace number_text
