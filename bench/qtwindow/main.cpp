// SPDX-License-Identifier: MIT
// The least a Qt Widgets program does to show a window of Nortavi's size:
// what is left over when nortavi is measured against it is nortavi's own.
//
//   bare-qt-window              an empty window
//   bare-qt-window --caption    the same with one 36-point caption and one
//                               text box, so that font loading and the text
//                               caret are counted too
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare Qt window"));
    window.setFixedSize(308, 509);
    if (QApplication::arguments().contains(QStringLiteral("--caption"))) {
        auto* caption = new QLabel(QStringLiteral("UNKNOWN"), &window);
        QFont font;
        font.setFamilies(QStringList{QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans")});
        font.setPointSize(36);
        font.setBold(true);
        caption->setFont(font);
        caption->setGeometry(16, 184, 273, 65);
        auto* field = new QLineEdit(QStringLiteral("0"), &window);
        field->setGeometry(176, 24, 49, 19);
    }
    window.show();
    return QApplication::exec();
}
