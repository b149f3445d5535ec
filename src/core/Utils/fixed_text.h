// Decimal texts of doubles with a fixed number of decimals, the text
// printf's "%.*f" makes: the exact binary value rounded half to even, a
// minus sign whenever the sign bit is set ("-0.00"), "inf" and "nan" for
// values that are not finite. Own code, so that the stub does without the
// C runtime's formatting engine (about 17 KB).
#pragma once

#include <string>

namespace kestro {

std::string FixedText(double value, int decimals);

}  // namespace kestro
