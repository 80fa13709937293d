// SPDX-License-Identifier: MIT
#include "MainWindowFixture.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>

const nortavi::LocalTime MainWindowFixture::kStart = *nortavi::MakeLocalTime(2026, 12, 7, 22, 0, 0);

void MainWindowFixture::TearDown()
{
    form_.reset();
    EXPECT_FALSE(watchdog_.Fired()) << "a modal window was left open";
}

std::string MainWindowFixture::Folder() const
{
    return dir_.path().toStdString() + "/";
}

void MainWindowFixture::WriteFile(const QString& name, const QByteArray& bytes) const
{
    QFile file(dir_.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << name.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray MainWindowFixture::ReadFile(const QString& name) const
{
    QFile file(dir_.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void MainWindowFixture::WriteConfig(const QByteArray& afterStatusPath) const
{
    WriteFile(QStringLiteral("config.ini"),
              "statusPath," + QByteArray::fromStdString(StatusPath()) + "\r\n" + afterStatusPath);
}

void MainWindowFixture::WriteStatus(const char* condition, std::chrono::seconds age)
{
    const std::string line = nortavi::FormatLocalTime(clock_.Now() - age) + "," + condition + "\r\n";
    WriteFile(QStringLiteral("status.txt"), QByteArray::fromStdString(line));
}

frmMain& MainWindowFixture::Open(nortavi::SoundOutput* sound)
{
    form_ = std::make_unique<frmMain>(settings_, clock_, sound ? *sound : sound_, Folder(),
                                      nortavi::TimeStampFormat{});
    return *form_;
}

void MainWindowFixture::Tick()
{
    // The timer's own signal, so that the tick takes the window's real
    // connection rather than a shortcut into the handler.
    ASSERT_TRUE(QMetaObject::invokeMethod(Timer1(), "timeout", Qt::DirectConnection));
}

void MainWindowFixture::TickAfter(std::chrono::seconds wait)
{
    clock_.Advance(wait);
    Tick();
}

QString MainWindowFixture::Caption(const char* name) const
{
    QObject* control = form_->findChild<QObject*>(QLatin1String(name));
    if (auto* label = qobject_cast<QLabel*>(control)) {
        return label->text();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        return button->text();
    }
    if (auto* field = qobject_cast<QLineEdit*>(control)) {
        return field->text();
    }
    ADD_FAILURE() << "no captioned control " << name;
    return {};
}

QColor MainWindowFixture::TextColour(const char* name) const
{
    return Control<QWidget>(name)->palette().color(QPalette::WindowText);
}

bool MainWindowFixture::AlarmButtonEnabled() const
{
    return Control<QWidget>("AlarmButton")->isEnabled();
}

void MainWindowFixture::AnswerNextModal(std::function<void(QWidget*)> answer)
{
    QTimer::singleShot(0, qApp, [answer = std::move(answer)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            ADD_FAILURE() << "no modal window opened";
            return;
        }
        answer(modal);
        if (modal->isVisible()) {
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            } else {
                modal->close();
            }
        }
    });
}
