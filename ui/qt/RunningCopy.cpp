// SPDX-License-Identifier: MIT
#include "RunningCopy.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

namespace nortavi::ui {

namespace {

QString ServerName(const QString& key)
{
    return QStringLiteral("nortavi-") + key;
}

constexpr int kWaitMs = 2000;

}  // namespace

RunningCopy::RunningCopy(const QString& key, QWidget& window)
    : window_(window), server_(new QLocalServer(this))
{
    // Only the lock's holder gets here, so a name left by a copy that was
    // killed is stale and may go.
    QLocalServer::removeServer(ServerName(key));
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->listen(ServerName(key));
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_->nextPendingConnection()) {
            peer->deleteLater();
            ShowWindow();
        }
    });
}

RunningCopy::~RunningCopy() = default;

bool RunningCopy::AskToShow(const QString& key)
{
    QLocalSocket socket;
    socket.connectToServer(ServerName(key));
    if (!socket.waitForConnected(kWaitMs)) {
        return false;
    }
    socket.disconnectFromServer();
    return true;
}

void RunningCopy::ShowWindow()
{
    window_.setWindowState((window_.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window_.show();
    window_.raise();
    window_.activateWindow();
}

}  // namespace nortavi::ui
