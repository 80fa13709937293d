// SPDX-License-Identifier: MIT
#pragma once

// Drives the setup dialog: finds its controls by name, types into them,
// answers its message boxes, and makes sure it closes whatever a check
// inside the dialog's event loop did. A mix-in for test fixtures, so that
// the main window's fixture can use it too.

#include "Settings.h"
#include "frmSetup.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

class SetupDialogHarness {
protected:
    // What the last message box said while it was up.
    struct Message {
        bool shown = false;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
    };

    // What an opening showed.
    struct Shown {
        QString path;
        QString toSafe;
        QString toUnsafe;
        QString comboText;
        bool alarmOnSafe = false;
        bool alarmOnUnsafe = false;
        bool anyUndo = false;
    };

    // The dialog belongs to its parent window, which outlives the checks.
    void Attach(frmSetup* existing)
    {
        dialog = existing;
        ASSERT_NE(dialog, nullptr);
        pathField = Find<QLineEdit>("StatusPathField");
        toSafeField = Find<QLineEdit>("TimeToSafeField");
        toUnsafeField = Find<QLineEdit>("TimeToUnsafeField");
        combo = Find<QComboBox>("Combo1");
        alarmOnSafeCheck = Find<QCheckBox>("AlarmOnSafeCheck");
        alarmOnUnsafeCheck = Find<QCheckBox>("AlarmOnUnsafeCheck");
        okButton = Find<QPushButton>("cmdOK");
        cancelButton = Find<QPushButton>("cmdCancel");
        const QWidget* const controls[] = {pathField, toSafeField,      toUnsafeField,
                                           combo,     alarmOnSafeCheck, alarmOnUnsafeCheck,
                                           okButton,  cancelButton};
        for (const QWidget* control : controls) {
            ASSERT_NE(control, nullptr);
        }
    }

    // Runs whileOpen as soon as the next modal loop is running, that is once
    // the dialog is up. Whatever whileOpen did, the dialog is closed after
    // it, so a failed check cannot hang the run; leftOpen says whether it
    // had to be.
    void WhenOpen(std::function<void()> whileOpen)
    {
        leftOpen = false;
        QTimer::singleShot(0, &timerContext_, [this, whileOpen = std::move(whileOpen)] {
            if (dialog == nullptr && findDialog) {
                Attach(findDialog());  // made at its first opening
            }
            if (dialog == nullptr || !dialog->isVisible()) {
                ADD_FAILURE() << "the setup dialog is not open";
                return;
            }
            if (whileOpen) {
                whileOpen();
            }
            if (dialog->isVisible()) {
                leftOpen = true;
                dialog->reject();
            }
        });
    }

    int Open(std::function<void()> whileOpen = {})
    {
        WhenOpen(std::move(whileOpen));
        return dialog->ShowModal();
    }

    // What the open dialog shows.
    Shown ReadShown() const
    {
        Shown shown;
        shown.path = pathField->text();
        shown.toSafe = toSafeField->text();
        shown.toUnsafe = toUnsafeField->text();
        shown.comboText = combo->currentText();
        shown.alarmOnSafe = alarmOnSafeCheck->isChecked();
        shown.alarmOnUnsafe = alarmOnUnsafeCheck->isChecked();
        shown.anyUndo = pathField->isUndoAvailable() || toSafeField->isUndoAvailable() ||
                        toUnsafeField->isUndoAvailable();
        return shown;
    }

    // Opens the dialog, notes what it shows, and cancels.
    Shown ShowAndCancel()
    {
        Shown shown;
        Open([&] {
            shown = ReadShown();
            QTest::mouseClick(cancelButton, Qt::LeftButton);
        });
        return shown;
    }

    // Answers the next message box with its OK button, noting what it said.
    void AnswerNextMessageBox()
    {
        message = {};
        QTimer::singleShot(0, &timerContext_, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            message.shown = true;
            message.title = box->windowTitle();
            message.text = box->text();
            message.buttons = box->standardButtons();
            if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
                ok->click();
            } else {
                box->reject();
            }
        });
    }

    // Replaces a field's text by typing, as the user would. (QTest has keys
    // for ASCII only: anything else goes in as a paste.)
    static void Type(QLineEdit* field, const QString& text)
    {
        field->setFocus();
        field->selectAll();
        const bool ascii =
            std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
        if (text.isEmpty()) {
            QTest::keyClick(field, Qt::Key_Delete);
        } else if (ascii) {
            QTest::keyClicks(field, text);
        } else {
            field->insert(text);
        }
    }

    // Replaces a field's text the way a paste does, for text no key gives.
    static void Paste(QLineEdit* field, const QString& text)
    {
        field->setFocus();
        field->selectAll();
        field->insert(text);
    }

    frmSetup* dialog = nullptr;
    // Finds a dialog that its window makes only when it first opens.
    std::function<frmSetup*()> findDialog;
    QLineEdit* pathField = nullptr;
    QLineEdit* toSafeField = nullptr;
    QLineEdit* toUnsafeField = nullptr;
    QComboBox* combo = nullptr;
    QCheckBox* alarmOnSafeCheck = nullptr;
    QCheckBox* alarmOnUnsafeCheck = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

    bool leftOpen = false;
    Message message;

private:
    template <typename Control>
    Control* Find(const char* name)
    {
        return dialog->findChild<Control*>(QLatin1String(name));
    }

    QObject timerContext_;  // pending single shots die with the test
};
