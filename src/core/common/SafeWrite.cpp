#include "common/SafeWrite.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace amx {

namespace {

constexpr std::string_view kTempMarker = ".amx-tmp-";

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

// Writes through a temporary file; `fill` gets its descriptor and path.
SafeWriteResult WriteThroughTemp(const std::string& path,
                                 const std::function<bool(int fd, const std::string& tempPath)>& fill) {
    const std::string target = ResolveSaveTarget(path);
    if (target.empty()) return SafeWriteResult::NotRegularFile;
    const std::string name = NameOf(target);
    if (name.empty() || name == "." || name == "..") return SafeWriteResult::NotRegularFile;

    struct stat st {};
    const bool exists = ::lstat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return SafeWriteResult::Failed;
    if (exists) {
        if (!S_ISREG(st.st_mode)) return SafeWriteResult::NotRegularFile;
        // Root passes access() for any file: the mode bits decide as well.
        if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) return SafeWriteResult::ReadOnly;
    }

    const std::string folder = FolderOf(target);
    RemoveStaleTempFiles(folder);

    // Long names are shortened so that the temporary name stays within NAME_MAX.
    std::string stem = name.substr(0, 160);
    std::string tmpl = folder + "/." + stem + std::string(kTempMarker) + std::to_string(::getpid()) + "-XXXXXX";
    std::vector<char> temp(tmpl.begin(), tmpl.end());
    temp.push_back('\0');
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return SafeWriteResult::Failed;
    const std::string tempPath(temp.data());

    bool ok = fill(fd, tempPath);
    mode_t mode;
    if (exists) {
        mode = st.st_mode & 07777;
        // Keep the owner too where we may (root saving someone's file).
        if (::geteuid() == 0 && ::fchown(fd, st.st_uid, st.st_gid) != 0) {
            // Not fatal: the file is written, only its owner changes.
        }
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ok = ok && ::fchmod(fd, mode) == 0;
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(tempPath.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(tempPath.c_str());
        return SafeWriteResult::Failed;
    }
    // Make the rename itself durable; a failure here loses nothing already written.
    int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return SafeWriteResult::Written;
}

}  // namespace

std::string ResolveSaveTarget(const std::string& path) {
    std::string p = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
        std::vector<char> buf(PATH_MAX + 1);
        ssize_t n = ::readlink(p.c_str(), buf.data(), buf.size() - 1);
        if (n <= 0) return {};
        std::string link(buf.data(), static_cast<std::size_t>(n));
        p = link.front() == '/' ? link : FolderOf(p) + "/" + link;
    }
    return {};  // a loop of links
}

SafeWriteResult SafeWriteFile(const std::string& path, const ContentProducer& produce) {
    return WriteThroughTemp(path, [&](int fd, const std::string&) {
        return produce([fd](std::string_view chunk) { return WriteAll(fd, chunk); });
    });
}

SafeWriteResult SafeWriteFile(const std::string& path, std::string_view bytes) {
    return WriteThroughTemp(path, [&](int fd, const std::string&) { return WriteAll(fd, bytes); });
}

SafeWriteResult SafeWriteFileVia(const std::string& path,
                                 const std::function<bool(const std::string& tempPath)>& write) {
    return WriteThroughTemp(path, [&](int, const std::string& tempPath) { return write(tempPath); });
}

bool IsSafeWriteTempName(std::string_view name) {
    if (name.size() < 2 || name.front() != '.') return false;
    std::size_t at = name.rfind(kTempMarker);
    if (at == std::string_view::npos || at == 0) return false;
    std::string_view rest = name.substr(at + kTempMarker.size());
    std::size_t dash = rest.find('-');
    if (dash == 0 || dash == std::string_view::npos || rest.size() - dash - 1 != 6) return false;
    for (std::size_t i = 0; i < dash; ++i)
        if (rest[i] < '0' || rest[i] > '9') return false;
    return true;
}

int RemoveStaleTempFiles(const std::string& folder, long long maxAgeSeconds) {
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) return 0;
    const std::time_t now = std::time(nullptr);
    int removed = 0;
    while (const dirent* e = ::readdir(dir.get())) {
        std::string_view name(e->d_name);
        if (!IsSafeWriteTempName(name)) continue;
        const std::string full = folder + "/" + std::string(name);
        struct stat st {};
        if (::lstat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) continue;
        if (static_cast<long long>(now - st.st_mtime) <= maxAgeSeconds) continue;
        std::string_view rest = name.substr(name.rfind(kTempMarker) + kTempMarker.size());
        long long pid = 0;
        for (char ch : rest.substr(0, rest.find('-'))) {
            pid = pid * 10 + (ch - '0');
            if (pid > INT_MAX) break;
        }
        // A process of that id still running may be writing it (or a later
        // process got the id): leave it.
        if (pid > 0 && pid <= INT_MAX && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)) continue;
        if (::unlink(full.c_str()) == 0) ++removed;
    }
    return removed;
}

}  // namespace amx
