// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One window per user and settings folder. Two windows on the same settings would both
// rewrite the same kept list, and the last writer would lose the other's clips; so a start
// that finds a window already open hands it its files (or asks it to come forward) and
// ends. The first start takes a lock file beside the settings, then listens on a local
// socket in the user's runtime folder (XDG_RUNTIME_DIR) whose name comes from the settings
// folder, so programs with different settings folders, as the tests run them, never meet.
// A socket or lock left by a crash is found stale and removed.
#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QLocalServer;
class QLocalSocket;

// What a later start hands to the window already open.
struct HandOff {
    QStringList files;           // absolute paths, resolved in the later start's folder
    QByteArray activationToken;  // the desktop's start-up or activation token, if it gave one
};
QByteArray encodeHandOff(const HandOff& handOff);
bool decodeHandOff(const QByteArray& bytes, HandOff& out);

// The token the desktop gave this start: XDG_ACTIVATION_TOKEN (Wayland) or
// DESKTOP_STARTUP_ID (X11).
QByteArray activationTokenOfThisStart();

class ProgramInstance : public QObject {
    Q_OBJECT
public:
    // `settingsPath` is the settings file; the lock lives beside it.
    explicit ProgramInstance(const QString& settingsPath, QObject* parent = nullptr);
    ~ProgramInstance() override;

    enum class Role {
        First,       // this start opens the window and listens for later ones
        HandedOver,  // a window was open and took `request`: this start ends
        Failed,      // a window holds the lock but did not answer; see error()
    };
    Role start(const HandOff& request);
    const QString& error() const { return error_; }

    QString socketPath() const { return socketPath_; }
    QString lockPath() const { return lockPath_; }

signals:
    // A later start's request, on the window's thread.
    void handedOver(const HandOff& request);

private:
    bool listen();
    bool handOver(const HandOff& request);
    void serve(QLocalSocket* socket);

    QString lockPath_;
    QString socketPath_;
    QLockFile lock_;
    std::unique_ptr<QLocalServer> server_;
    QString error_;
};
