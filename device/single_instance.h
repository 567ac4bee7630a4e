// One program a device folder: the first start listens on a local socket named after the folder,
// a later start on the same folder finds it, asks it to come to the front and ends.
#pragma once

#include <functional>
#include <memory>
#include <string>

class QLocalServer;

// Where the socket of a device folder lives: in $XDG_RUNTIME_DIR when that is a folder (it is
// the user's alone), else in the temporary folder, named by a hash of the folder's absolute path
// so that every folder has its own and the name stays short enough for a socket.
std::string InstanceSocketPath(const std::string& absoluteFolder);

enum class InstanceClaim {
    First,  // this start runs the device; it listens for later starts
    Handed, // another start runs this folder and was asked to come to the front
    Failed, // no socket could be set up (the reason says why); the start may go on without
};

class SingleInstance
{
  public:
    explicit SingleInstance(const std::string& absoluteFolder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Looks for a running start on the folder and hands over to it, or listens (open to this
    // user only). A socket left behind by a start that ended without closing it is removed. A
    // socket of another user is never talked to. Needs a Qt application.
    InstanceClaim Claim(std::string* reason);

    // Called, on the thread of the event loop, each time a later start asks to come to the front.
    void SetRaiseHandler(std::function<void()> handler);

    const std::string& SocketPath() const { return socketPath; }

  private:
    bool HandOver();

    std::string socketPath;
    std::unique_ptr<QLocalServer> server;
    std::function<void()> raise;
};
