// SPDX-License-Identifier: MIT
// Linux and other POSIX systems.
#include "Platform.h"

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace nortavi::platform {

namespace {

// Closes a descriptor on every path out of a function.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }
    int release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

bool WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The temporary file of a save: a name of our own beside the target, so the
// rename stays within one file system and cannot meet another writer's file.
std::string TemporaryPrefix(const std::string& path)
{
    return path + ".tmp-";
}

// A save killed half-way leaves its temporary file behind; the next save
// removes those of processes that are gone. A live process's file may be a
// save in progress (a second copy of the program), and is left alone.
void RemoveLeftoverTemporaries(const std::string& path)
{
    const std::filesystem::path target(path);
    const std::string prefix = TemporaryPrefix(target.filename().string());
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
        if (pid > 0 && pid != ::getpid() && ::kill(static_cast<pid_t>(pid), 0) != 0 &&
            errno == ESRCH) {
            ::unlink(it->path().c_str());
        }
    }
}

}  // namespace

char PathSeparator()
{
    return '/';
}

std::string ExecutableFolder()
{
    std::string path(PATH_MAX, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0) {
        return ".";
    }
    path.resize(static_cast<std::size_t>(length));
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

EntryKind QueryEntry(const std::string& path)
{
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        return EntryKind::Missing;
    }
    return S_ISDIR(info.st_mode) ? EntryKind::Folder : EntryKind::Other;
}

std::optional<FilePrefix> ReadFilePrefix(const std::string& path, std::size_t maxBytes)
{
    // O_NONBLOCK keeps a FIFO or device from stalling the open; only a
    // regular file is read.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0) {
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    // Status files are a few dozen bytes: read in small chunks rather than
    // reserving the whole limit at every poll.
    FilePrefix prefix;
    char chunk[4096];
    while (prefix.bytes.size() <= maxBytes) {
        const std::size_t wanted = std::min(sizeof chunk, maxBytes + 1 - prefix.bytes.size());
        const ssize_t n = ::read(file.get(), chunk, wanted);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        prefix.bytes.append(chunk, static_cast<std::size_t>(n));
    }
    prefix.moreFollows = prefix.bytes.size() > maxBytes;
    if (prefix.moreFollows) {
        prefix.bytes.resize(maxBytes);
    }
    return prefix;
}

std::optional<FilePrefix> ReadSettingsFile(const std::string& path, std::size_t maxBytes)
{
    // No program can lock another out of a file here.
    return ReadFilePrefix(path, maxBytes);
}

std::optional<std::string> TextFileBytes(const std::string& text)
{
    return text;
}

std::string TextFromFileBytes(const std::string& bytes)
{
    return bytes;
}

std::string UserSettingsFolder()
{
    const auto absolute = [](const char* path) { return path != nullptr && path[0] == '/'; };
    const auto withoutTrailingSlashes = [](std::string path) {
        while (path.size() > 1 && path.back() == '/') {
            path.pop_back();
        }
        return path;
    };
    // The XDG base directory rules: a relative XDG_CONFIG_HOME is ignored.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); absolute(config)) {
        return withoutTrailingSlashes(config) + "/nortavi/";
    }
    std::string home;
    if (const char* fromEnvironment = std::getenv("HOME"); absolute(fromEnvironment)) {
        home = fromEnvironment;
    } else {
        std::vector<char> buffer(16384);
        passwd entry{};
        passwd* found = nullptr;
        if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
            found != nullptr && absolute(found->pw_dir)) {
            home = found->pw_dir;
        }
    }
    if (home.empty()) {
        return {};
    }
    home = withoutTrailingSlashes(home);
    return (home == "/" ? "" : home) + "/.config/nortavi/";
}

bool CanCreateFilesIn(const std::string& folder)
{
    static std::atomic<unsigned> counter{0};
    const std::string probe = folder + ".nortavi-probe-" + std::to_string(::getpid()) + "-" +
                              std::to_string(counter.fetch_add(1));
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

bool MakeFolders(const std::string& folder)
{
    // Each folder on the way down, the first one after the root included;
    // new ones are the user's alone, as the XDG rules ask.
    for (std::size_t end = folder.find('/', 1); end != std::string::npos;
         end = folder.find('/', end + 1)) {
        const std::string part = folder.substr(0, end);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
    }
    if (!folder.empty() && folder.back() != '/' && ::mkdir(folder.c_str(), 0700) != 0 &&
        errno != EEXIST) {
        return false;
    }
    return QueryEntry(folder) == EntryKind::Folder;
}

bool ReplaceFileContents(const std::string& linkOrPath, const std::string& bytes, bool ownerOnly)
{
    // A file that is a symbolic link (as dotfile managers keep config files)
    // stays one: the file it names is replaced.
    std::string path = linkOrPath;
    struct stat link {};
    if (::lstat(linkOrPath.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char* target = ::realpath(linkOrPath.c_str(), nullptr)) {
            path = target;
            std::free(target);
        }
    }
    RemoveLeftoverTemporaries(path);
    // A random part too: process ids come round again, and a killed save of
    // an earlier process with this one's id may have left its name behind.
    static std::atomic<unsigned> counter{0};
    const std::string temporary = TemporaryPrefix(path) + std::to_string(::getpid()) + "-" +
                                  std::to_string(counter.fetch_add(1)) + "-" +
                                  std::to_string(std::random_device{}());
    Descriptor file(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, ownerOnly ? 0600 : 0666));
    if (file.get() < 0) {
        return false;
    }
    const bool written = WriteAll(file.get(), bytes) && ::fsync(file.get()) == 0;
    const bool closed = ::close(file.release()) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

CivilTime LocalNow()
{
    // The precise clock: time() reads the kernel's coarse one, which turns
    // to the next second up to a clock tick late, behind every other clock
    // on the machine (a status line stamped just now could look early).
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::chrono::seconds UtcOffsetNow()
{
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    ::localtime_r(&now, &local);
    return std::chrono::seconds(local.tm_gmtoff);
}

}  // namespace nortavi::platform
