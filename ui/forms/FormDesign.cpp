// SPDX-License-Identifier: MIT
#include "FormDesign.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace nortavi::forms {

namespace {
// Keeps a grown caption from touching the control beside it.
constexpr int kGapTwips = 60;
}  // namespace

const ControlDesign& FormDesign::Control(int id) const
{
    const auto found =
        std::find_if(controls.begin(), controls.end(),
                     [id](const ControlDesign& control) { return control.id == id; });
    if (found == controls.end()) {
        throw std::out_of_range(std::string(name) + " has no control " + std::to_string(id));
    }
    return *found;
}

int CaptionRightLimit(const FormDesign& form, const ControlDesign& label)
{
    int limit = form.clientWidth - label.rect.left;
    for (const ControlDesign& other : form.controls) {
        const bool sameRow = other.kind != ControlKind::Line &&
                             other.rect.top < label.rect.Bottom() &&
                             label.rect.top < other.rect.Bottom();
        if (sameRow && other.rect.left > label.rect.left) {
            limit = std::min(limit, other.rect.left - kGapTwips);
        }
    }
    return limit;
}

}  // namespace nortavi::forms
