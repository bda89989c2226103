// One way to replace a file's contents so that a reader, a crash or a full disk never finds
// it half written: the bytes go to a temporary file beside it ("NAME.tmp-PID-N"), which is
// flushed to the disk and then renamed over the file; the folder is flushed so that the
// rename lasts too. The file keeps its permission bits (a new one gets the usual 0666 less
// the umask), a symbolic link keeps pointing where it did and its target is replaced, and on
// every failure the temporary is removed, the file left as it was and the reason reported.
// What exists and is not a regular file (a folder, a device, a pipe) is never replaced.
//
// A save killed half way leaves its temporary behind. The next save of the same file removes
// such leftovers: temporaries of this naming whose process no longer runs.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kestrix {

// 0 on success, else the errno value of the step that failed (with message, when asked for,
// saying what could not be done to which file).
int WriteFileDurably(const std::string& path, std::string_view bytes,
                     std::string* message = nullptr);

// The steps of a durable write, for a test that makes one of them fail.
enum class DurableWriteStep { CreateTemporary, Write, Flush, Rename, FlushFolder };
// Called before each step; a non-zero errno value makes that step fail with it. An empty
// function clears the fault.
using DurableWriteFault = std::function<int(DurableWriteStep)>;
void SetDurableWriteFault(DurableWriteFault fault);

}  // namespace kestrix
