// SPDX-License-Identifier: MIT
#pragma once

#include "FormDesign.h"

#include <QRect>
#include <QString>
#include <QWidget>

#include <map>
#include <string_view>

namespace nortavi::ui {

// Twips to Qt's logical pixels; Qt's high-DPI scaling takes it from there.
int Pixels(int twips);
QRect PixelRect(const forms::TwipsRect& twips);
// The designs' texts are plain ASCII.
QString Text(std::string_view ascii);

// Builds a form's controls from its design: one widget per control, named
// after it and placed by its rectangle, with its caption, font, colour,
// alignment, tool tip and items, in the design's tab order.
class FormBuilder {
public:
    FormBuilder(QWidget& form, const forms::FormDesign& design);

    template <typename Widget>
    Widget* Get(int id) const
    {
        return qobject_cast<Widget*>(controls_.at(id));
    }

private:
    QWidget* Build(const forms::ControlDesign& control);

    QWidget& form_;
    std::map<int, QWidget*> controls_;
};

}  // namespace nortavi::ui
