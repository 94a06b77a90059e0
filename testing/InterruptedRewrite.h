#pragma once

#include <functional>
#include <string>

namespace TestSupport {

// What making a rewrite fail at every byte gave.
struct InterruptedRewrites {
    // Writes that failed at byte k, k = 0, 1, 2 ... up to the first write that succeeded.
    int interrupted = 0;
    // Empty when every failure left the previous file byte for byte, no partial file beside it,
    // and a file the reader accepts, and the write that succeeded left the new file; else what went wrong.
    std::string problem;
};

// Makes write fail at byte 0, 1, 2 ... (through WriteFault) until it succeeds, checking the file at
// path after each attempt. write answers whether it succeeded, or raises a library exception;
// read answers whether the file now reads.
InterruptedRewrites InterruptEveryByte(const std::wstring& path, const std::function<bool()>& write,
                                       const std::function<bool()>& read);

}  // namespace TestSupport
