// SPDX-License-Identifier: MIT
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

// A second process, started at once and ended hard (TerminateProcess) if it
// is still running when the object goes.
class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments)
    {
        std::string commandLine = Quoted(program);
        for (const std::string& argument : arguments) {
            commandLine += " " + Quoted(argument);
        }
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, nullptr, &startup, &process)) {
            throw std::runtime_error("cannot start " + program + ": error " +
                                     std::to_string(GetLastError()));
        }
        CloseHandle(process.hThread);
        process_ = process.hProcess;
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess()
    {
        if (process_ != nullptr) {
            Kill();
            Wait();
        }
    }

    // Ends the process at once, wherever it is, as a crash or a power cut
    // would.
    void Kill() { TerminateProcess(process_, kKilled); }

    bool HasEnded() const { return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }

    // Waits for the end; the exit code, or -1 when it was killed.
    int Wait()
    {
        WaitForSingleObject(process_, INFINITE);
        DWORD code = kKilled;
        GetExitCodeProcess(process_, &code);
        CloseHandle(process_);
        process_ = nullptr;
        return code == kKilled ? -1 : static_cast<int>(code);
    }

private:
    static constexpr UINT kKilled = 0xDEAD;

    // As the C run-time splits a command line: backslashes count only
    // before a double quote, so a folder's trailing one is doubled.
    static std::string Quoted(const std::string& argument)
    {
        std::string quoted = "\"";
        std::size_t backslashes = 0;
        for (const char c : argument) {
            if (c == '\\') {
                ++backslashes;
                continue;
            }
            quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
            quoted += c;
            backslashes = 0;
        }
        quoted.append(2 * backslashes, '\\');
        return quoted + "\"";
    }

    HANDLE process_ = nullptr;
};

// This process's id, as the system reuses them.
inline unsigned long CurrentProcessId()
{
    return GetCurrentProcessId();
}
