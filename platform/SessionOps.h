#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "values/CalendarTime.h"
#include "values/Result.h"

namespace tovask {

// Whether the machine belongs to an organisation's directory.
struct MachineJoinState {
    bool domainJoined = false;
    bool cloudJoined = false;  // as a device, not a personal device with a work account
};

// A TCP socket that listens.
struct ListeningSocket {
    std::wstring address;  // as the system writes it: "127.0.0.1", "0.0.0.0", "::1", "::"
    std::uint16_t port = 0;
    std::wstring programPath;  // empty when the program behind it cannot be named
    // The user ("S-1-5-21-...") whose logon session the program runs in, as
    // one started from that user's desktop does; empty for a service's
    // session 0 and when the process cannot be asked.
    std::wstring sessionUserSid{};
};

// Window style of a started process, valued as the system's show command.
enum class LaunchStyle : int { MinimizedWithFocus = 2 };

// The session part of the platform: windows and processes, users, the repair
// lock, system services and management.
class SessionOps {
  public:
    virtual ~SessionOps() = default;

    // Windows and processes.
    // The identity of a top-level window of the class, any title; 0 when none.
    virtual std::uintptr_t FindWindowA(std::wstring_view className) = 0;
    // Starts the system program (a file name of the Windows folder) with one
    // argument; its command line reads "<program> <argument>". Returns at once.
    virtual std::error_code LaunchCommand(std::wstring_view program, std::wstring_view argument,
                                          LaunchStyle style) = 0;
    // Has the desktop's shell start the program with these arguments, so that
    // it runs as the person at the desktop and never elevated; returns once
    // the shell has it. An error when no shell runs on this desktop.
    virtual std::error_code StartAsDesktopUser(std::wstring_view program,
                                               std::wstring_view arguments) = 0;
    // The owner ("DOMAIN\user") of every running process of this file name,
    // such as "iexplore.exe", whoever's desktop it is on.
    virtual Result<std::vector<std::wstring>> ProcessOwners(std::wstring_view executableName) = 0;

    // Users and system services.
    // The security identifier ("S-1-5-21-...") of the user this program runs as.
    virtual Result<std::wstring> ProgramUserSid() = 0;
    // That of the user whose desktop the program is on: the owner of the
    // shell window's process. "Not found" when there is no shell window.
    virtual Result<std::wstring> DesktopUserSid() = 0;
    // True when the program runs with an administrator's full rights.
    virtual Result<bool> IsElevated() = 0;
    // The text with its %NAME% references to environment variables expanded.
    virtual Result<std::wstring> ExpandEnvironment(std::wstring_view text) = 0;
    // Empties the DNS resolver cache, so that names resolve by HOSTS again.
    virtual std::error_code FlushDnsCache() = 0;
    // Lets the time go by, for a step that is tried again after a moment.
    virtual void Pause(std::chrono::milliseconds duration) = 0;
    // This machine's clock in its time zone, to name and age the backups of
    // each run.
    virtual CalendarTime LocalTimeNow() = 0;
    // The system's short description of an error, for the user.
    virtual std::wstring DescribeError(std::error_code error) = 0;

    // One repair or undo at a time on the whole machine, from the window or
    // the command line. Waits up to the limit, then fails with
    // std::errc::timed_out; a lock left by a program that died is taken over.
    // Only administrators and SYSTEM can take or hold it.
    virtual std::error_code AcquireRepairLock(std::chrono::milliseconds wait) = 0;
    virtual void ReleaseRepairLock() = 0;

    // Management and policy, for the findings beyond Internet Explorer.
    virtual Result<MachineJoinState> MachineJoin() = 0;
    // Asks the system to apply machine and user policy again now;
    // std::errc::function_not_supported when it cannot be asked.
    virtual std::error_code RefreshPolicy() = 0;
    // The SHA-1 thumbprints (40 upper-case hexadecimal digits) of the
    // certificates kept with their private key in the personal store of the
    // machine, and of the user with this security identifier when one is
    // given. A store that does not exist holds none.
    virtual Result<std::vector<std::wstring>> KeyedCertificates(std::wstring_view userSid) = 0;

    // Network settings, for the proxy, automatic configuration script and DNS findings.
    // Every TCP socket that listens, IPv4 and IPv6, with its program's full path.
    virtual Result<std::vector<ListeningSocket>> ListeningSockets() = 0;
    // Tells WinINet, and the programs that use it, that the Internet settings
    // changed. std::errc::function_not_supported when the notice was taken but
    // the system cannot have them read again at once.
    virtual std::error_code AnnounceInternetSettingsChanged() = 0;
};

// Passes every session operation on to another platform; a decorator derives
// from it (through ForwardingPlatform) and overrides only what it handles.
class ForwardingSessionOps : public virtual SessionOps {
  public:
    explicit ForwardingSessionOps(SessionOps& next) : next_(next) {}

    std::uintptr_t FindWindowA(std::wstring_view className) override {
        return next_.FindWindowA(className);
    }
    std::error_code LaunchCommand(std::wstring_view program, std::wstring_view argument,
                                  LaunchStyle style) override {
        return next_.LaunchCommand(program, argument, style);
    }
    std::error_code StartAsDesktopUser(std::wstring_view program,
                                       std::wstring_view arguments) override {
        return next_.StartAsDesktopUser(program, arguments);
    }
    Result<std::vector<std::wstring>> ProcessOwners(std::wstring_view executableName) override {
        return next_.ProcessOwners(executableName);
    }

    Result<std::wstring> ProgramUserSid() override { return next_.ProgramUserSid(); }
    Result<std::wstring> DesktopUserSid() override { return next_.DesktopUserSid(); }
    Result<bool> IsElevated() override { return next_.IsElevated(); }
    Result<std::wstring> ExpandEnvironment(std::wstring_view text) override {
        return next_.ExpandEnvironment(text);
    }
    std::error_code FlushDnsCache() override { return next_.FlushDnsCache(); }
    void Pause(std::chrono::milliseconds duration) override { next_.Pause(duration); }
    CalendarTime LocalTimeNow() override { return next_.LocalTimeNow(); }
    std::wstring DescribeError(std::error_code error) override {
        return next_.DescribeError(error);
    }

    std::error_code AcquireRepairLock(std::chrono::milliseconds wait) override {
        return next_.AcquireRepairLock(wait);
    }
    void ReleaseRepairLock() override { next_.ReleaseRepairLock(); }

    Result<MachineJoinState> MachineJoin() override { return next_.MachineJoin(); }
    std::error_code RefreshPolicy() override { return next_.RefreshPolicy(); }
    Result<std::vector<std::wstring>> KeyedCertificates(std::wstring_view userSid) override {
        return next_.KeyedCertificates(userSid);
    }
    Result<std::vector<ListeningSocket>> ListeningSockets() override {
        return next_.ListeningSockets();
    }
    std::error_code AnnounceInternetSettingsChanged() override {
        return next_.AnnounceInternetSettingsChanged();
    }

  private:
    SessionOps& next_;
};

}  // namespace tovask
