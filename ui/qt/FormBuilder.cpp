// SPDX-License-Identifier: MIT
#include "FormBuilder.h"

#include "QtColour.h"
#include "WindowFonts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace nortavi::ui {

namespace {

using forms::ControlKind;
using forms::TwipsToPixels;

constexpr int kLogicalDpi = 96;

// Qt's check box indicator needs about 255 twips; a box drawn lower keeps
// its centre line and gets that height.
constexpr int kCheckBoxMinHeight = 255;

QFont ToQFont(const forms::FontDesign& font)
{
    return DesignFont(Text(font.face), font.points, font.bold);
}

}  // namespace

QString Text(std::string_view ascii)
{
    return QString::fromLatin1(ascii.data(), static_cast<qsizetype>(ascii.size()));
}

int Pixels(int twips)
{
    return TwipsToPixels(twips, kLogicalDpi);
}

QRect PixelRect(const forms::TwipsRect& twips)
{
    return {Pixels(twips.left), Pixels(twips.top), Pixels(twips.width), Pixels(twips.height)};
}

FormBuilder::FormBuilder(QWidget& form, const forms::FormDesign& design) : form_(form)
{
    form.setObjectName(Text(design.name));
    form.setWindowTitle(Text(design.caption));
    form.setFixedSize(Pixels(design.clientWidth), Pixels(design.clientHeight));
    form.setFont(ToQFont(design.font));

    for (const forms::ControlDesign& control : design.controls) {
        QWidget* widget = Build(control);
        widget->setObjectName(Text(control.name));
        if (control.font) {
            widget->setFont(ToQFont(*control.font));
        }
        if (!control.toolTip.empty()) {
            widget->setToolTip(Text(control.toolTip));
        }
        controls_[control.id] = widget;
    }

    for (std::size_t i = 1; i < design.tabOrder.size(); ++i) {
        QWidget::setTabOrder(controls_.at(design.tabOrder[i - 1]),
                             controls_.at(design.tabOrder[i]));
    }
    if (design.defaultButton != 0) {
        Get<QPushButton>(design.defaultButton)->setDefault(true);
    }
    if (design.initialFocus != 0) {
        controls_.at(design.initialFocus)->setFocus();
    }
}

QWidget* FormBuilder::Build(const forms::ControlDesign& control)
{
    const QRect rect = PixelRect(control.rect);
    switch (control.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(Text(control.caption), &form_);
            label->setGeometry(rect);
            if (control.centred) {
                label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            }
            if (control.textColour) {
                QPalette palette = label->palette();
                palette.setColor(QPalette::WindowText, ToQColor(*control.textColour));
                label->setPalette(palette);
            }
            return label;
        }
        case ControlKind::TextBox: {
            auto* field = new QLineEdit(&form_);
            field->setGeometry(rect);
            return field;
        }
        case ControlKind::Button: {
            auto* button = new QPushButton(Text(control.caption), &form_);
            button->setGeometry(rect);
            // As on Windows, Enter presses the button that has the focus.
            button->setAutoDefault(true);
            return button;
        }
        case ControlKind::CheckBox: {
            auto* box = new QCheckBox(Text(control.caption), &form_);
            forms::TwipsRect twips = control.rect;
            if (twips.height < kCheckBoxMinHeight) {
                twips.top -= (kCheckBoxMinHeight - twips.height) / 2;
                twips.height = kCheckBoxMinHeight;
            }
            box->setGeometry(PixelRect(twips));
            return box;
        }
        case ControlKind::DropDownList: {
            // A plain list: the user picks one of its items and cannot type.
            auto* combo = new QComboBox(&form_);
            combo->setEditable(false);
            for (const std::string_view item : control.items) {
                combo->addItem(Text(item));
            }
            combo->setGeometry(rect);
            return combo;
        }
        case ControlKind::GroupBox: {
            auto* group = new QGroupBox(Text(control.caption), &form_);
            group->setGeometry(rect);
            return group;
        }
        case ControlKind::Line: {
            // A thin rule in the text colour, one pixel high, both ends drawn.
            auto* line = new QFrame(&form_);
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Plain);
            line->setLineWidth(1);
            line->setGeometry(rect.left(), rect.top(), rect.width() + 1, 1);
            return line;
        }
    }
    return nullptr;
}

}  // namespace nortavi::ui
