// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <thread>

class TUnitControl;

// The emulator's control port: plain text lines over TCP (a test, or a person with nc), each
// answered with one line by TUnitControl. Served on a thread of its own, one connection after
// another, for as long as the process runs.
class TControlPort {
  public:
    // Listens on HOST:PORT (port 0: any free one); nothing, and the reason in `error`, when it
    // cannot.
    static std::unique_ptr<TControlPort> Listen(const std::string& host, const std::string& port,
                                                TUnitControl& control, std::string& error);
    ~TControlPort();
    TControlPort(const TControlPort&) = delete;
    TControlPort& operator=(const TControlPort&) = delete;

    // The port it listens on.
    const std::string& Port() const { return FPort; }

  private:
    TControlPort(int server, std::string port, TUnitControl& control);
    void Serve();
    void ServeConnection(int fd);

    int FServer;
    std::string FPort;
    TUnitControl& FControl;
    std::thread FThread;
};
