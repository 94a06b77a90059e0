#include "testing/InterruptedRewrite.h"

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <sstream>

#include "core/Exception.h"
#include "testing/WriteFault.h"

namespace TestSupport {

namespace {

// The file's bytes, or "<missing>".
std::string Contents(const std::wstring& path)
{
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return "<missing>";
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace

InterruptedRewrites InterruptEveryByte(const std::wstring& path, const std::function<bool()>& write,
                                       const std::function<bool()>& read)
{
    InterruptedRewrites report;
    const std::string before = Contents(path);
    // No realistic settings or cache file of the suite comes near this.
    const int64_t limit = 16 << 20;
    for (int64_t k = 0; k < limit; ++k) {
        bool written = false;
        {
            WriteFault fault(k);
            try {
                written = write();
            } catch (System::Exception* caught) {
                delete caught;
            }
        }
        std::string after = Contents(path);
        std::string at = " (write failing at byte " + std::to_string(k) + ")";
        if (GetFileAttributesW((path + L".new").c_str()) != INVALID_FILE_ATTRIBUTES) {
            report.problem = "a partial file stays beside the file" + at;
            return report;
        }
        if (!read()) {
            report.problem = "the file no longer reads" + at;
            return report;
        }
        if (written) {
            if (after == before) report.problem = "the write that succeeded left the previous file" + at;
            return report;
        }
        if (after != before) {
            report.problem = "the previous file changed: " + std::to_string(after.size()) + " bytes instead of " +
                             std::to_string(before.size()) + at;
            return report;
        }
        ++report.interrupted;
    }
    report.problem = "the write never succeeded";
    return report;
}

}  // namespace TestSupport
