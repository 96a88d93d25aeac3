#pragma once
// The one way the program writes a file: into a new temporary file beside the
// target (mkstemp, so nothing planted under a guessable name is followed or
// destroyed), flushed to disk, then renamed over the target. A failure at any
// step leaves the old file as it was.
//
// The target: a symlink is followed and the file it points to is replaced
// (the link stays a link); anything that exists and is not a regular file
// (a folder, a FIFO, a device) is refused, and so is a regular file without
// write permission. The new file keeps the old one's permissions (and owner,
// where the process may set it).
//
// Temporary files are named "." + target name + ".amx-tmp-" + process id +
// "-" + six random characters. A save killed part-way leaves one behind; a
// later save into the same folder removes those older than a day whose
// process no longer runs.
#include <functional>
#include <string>
#include <string_view>

namespace amx {

// Receives the file's bytes in order; returns false when a write failed.
using ChunkSink = std::function<bool(std::string_view)>;
// Produces the file's bytes into a sink; returns false to abandon the save.
using ContentProducer = std::function<bool(const ChunkSink&)>;

enum class SafeWriteResult {
    Written,
    NotRegularFile,  // the target is a folder, FIFO, device, socket, or a symlink loop
    ReadOnly,        // the target file has no write permission
    Failed,          // creating, writing, flushing or renaming failed (errno-style)
};

// The file a save to `path` replaces: `path` itself, or the end of its
// symlink chain (resolved against each link's folder).
std::string ResolveSaveTarget(const std::string& path);

SafeWriteResult SafeWriteFile(const std::string& path, const ContentProducer& produce);
SafeWriteResult SafeWriteFile(const std::string& path, std::string_view bytes);
// For writers that only take a file name (picture and PDF libraries): `write`
// writes the whole file at the temporary path it is given.
SafeWriteResult SafeWriteFileVia(const std::string& path, const std::function<bool(const std::string& tempPath)>& write);

// True when `name` (a file name without folder) is one of our temporary files.
bool IsSafeWriteTempName(std::string_view name);
// Removes our temporary files in `folder` older than `maxAgeSeconds` whose
// process is gone. Returns how many were removed.
int RemoveStaleTempFiles(const std::string& folder, long long maxAgeSeconds = 24 * 3600);

}  // namespace amx
