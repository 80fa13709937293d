// SPDX-License-Identifier: MIT
#pragma once

#include "Colours.h"

namespace nortavi::forms {

// WCAG's relative luminance of a colour: 0 for black, 1 for white.
double RelativeLuminance(Colour colour);

// WCAG's contrast ratio of two colours: 1 (the same) to 21 (black on white).
double ContrastRatio(Colour a, Colour b);

// The colour to write a big caption in, on `face`, where the user has asked
// for the system's own look (High Contrast, a dark theme): the one the
// window wants while it stands out from the face as much as WCAG asks of
// large text (3:1), or else the system's text colour, which the system
// keeps readable on its own face. Black PENDING on a black face would
// otherwise say nothing.
Colour ReadableTextColour(Colour wanted, Colour face, Colour systemText);

}  // namespace nortavi::forms
