// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program_instance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

namespace {

// A request is a line of JSON; nothing a start hands over comes near this.
constexpr qint64 kMaxRequestBytes = 4 * 1024 * 1024;
// How long a later start tries to reach the window: long enough for a first start that
// has its lock but does not listen yet.
constexpr int kHandOffMs = 5000;
const QByteArray kReceived = "received\n";

QString withoutExtension(const QString& path) {
    const QFileInfo info(path);
    return info.dir().filePath(info.completeBaseName());
}

}  // namespace

QByteArray encodeHandOff(const HandOff& handOff) {
    const QJsonObject root{{QStringLiteral("files"), QJsonArray::fromStringList(handOff.files)},
                           {QStringLiteral("token"), QString::fromUtf8(handOff.activationToken)}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact) + '\n';
}

bool decodeHandOff(const QByteArray& bytes, HandOff& out) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes.trimmed(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) return false;
    const QJsonObject root = doc.object();
    out = {};
    for (const QJsonValue& file : root.value(QStringLiteral("files")).toArray()) {
        const QString path = file.toString();
        // Only absolute paths: a relative one would be taken in this program's folder.
        if (!path.isEmpty() && QDir::isAbsolutePath(path)) out.files << path;
    }
    out.activationToken = root.value(QStringLiteral("token")).toString().toUtf8();
    return true;
}

QByteArray activationTokenOfThisStart() {
    QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
    if (token.isEmpty()) token = qgetenv("DESKTOP_STARTUP_ID");
    return token;
}

ProgramInstance::ProgramInstance(const QString& settingsPath, QObject* parent)
    : QObject(parent),
      lockPath_(withoutExtension(settingsPath) + QStringLiteral(".lock")),
      lock_(lockPath_) {
    // A lock is stale only when its program is gone, never by its age: a window may stay
    // open for days.
    lock_.setStaleLockTime(0);
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty()) runtime = QDir::tempPath();
    const QString folder = QFileInfo(settingsPath).absoluteDir().absolutePath();
    const QByteArray key = QCryptographicHash::hash(
                               folder.toUtf8() + '/' + QFileInfo(settingsPath).fileName().toUtf8(),
                               QCryptographicHash::Sha256)
                               .toHex()
                               .left(16);
    socketPath_ = QDir(runtime).filePath(QStringLiteral("clipfuse-") + QString::fromLatin1(key));
}

ProgramInstance::~ProgramInstance() {
    if (server_) server_->close();
}

ProgramInstance::Role ProgramInstance::start(const HandOff& request) {
    QDir().mkpath(QFileInfo(lockPath_).absolutePath());
    const QDeadlineTimer deadline(kHandOffMs);
    for (;;) {
        // The lock first, the socket after: whoever holds the lock owns the socket's name.
        if (lock_.tryLock(0)) {
            if (listen()) return Role::First;
            lock_.unlock();
            return Role::Failed;
        }
        if (lock_.error() != QLockFile::LockFailedError) {
            error_ = QStringLiteral("The lock file %1 cannot be made.").arg(lockPath_);
            return Role::Failed;
        }
        if (handOver(request)) return Role::HandedOver;
        if (deadline.hasExpired()) break;
        QThread::msleep(100);
    }
    error_ = QStringLiteral("Clipfuse is already open for these settings but did not answer.");
    return Role::Failed;
}

bool ProgramInstance::listen() {
    // A socket left by a crash: its program is gone, as the stale lock showed.
    QLocalServer::removeServer(socketPath_);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(socketPath_)) {
        error_ = QStringLiteral("Clipfuse cannot listen on %1: %2")
                     .arg(socketPath_, server_->errorString());
        server_.reset();
        return false;
    }
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) serve(socket);
    });
    return true;
}

void ProgramInstance::serve(QLocalSocket* socket) {
    // Everything here runs from the window's event loop; a caller that never finishes its
    // request is dropped, never waited for.
    auto buffer = std::make_shared<QByteArray>();
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(kHandOffMs, socket, [socket] { socket->abort(); });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
        *buffer += socket->readAll();
        if (buffer->size() > kMaxRequestBytes) {
            socket->abort();
            return;
        }
        if (!buffer->contains('\n')) return;
        HandOff request;
        const bool understood = decodeHandOff(buffer->left(buffer->indexOf('\n')), request);
        socket->write(understood ? kReceived : QByteArray("refused\n"));
        socket->flush();
        socket->disconnectFromServer();
        if (understood) emit handedOver(request);
    });
}

bool ProgramInstance::handOver(const HandOff& request) {
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(1000)) return false;
    socket.write(encodeHandOff(request));
    if (!socket.waitForBytesWritten(2000)) return false;
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(3000)) answer += socket.readAll();
    return answer == kReceived;
}
