#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "values/Result.h"

namespace tovask::win32 {

struct TcpListener {
    // As the system writes it: "127.0.0.1", "0.0.0.0", "::1", "::".
    std::wstring address;
    bool ipv6 = false;
    std::uint16_t port = 0;
    std::uint32_t processId = 0;
};

// Every TCP socket that listens, IPv4 and IPv6, read once per call.
Result<std::vector<TcpListener>> listeningTcpSockets();

// The full path of a running process's program; an error when the process
// is gone or may not be asked (a protected process).
Result<std::wstring> processProgramPath(std::uint32_t processId);

// The user a process runs as, when it runs in a logon session rather than
// the services' session 0; empty for a service, and an error when the
// process is gone or may not be asked.
Result<std::wstring> processSessionUser(std::uint32_t processId);

}  // namespace tovask::win32
