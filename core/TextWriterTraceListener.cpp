#include "core/TextWriterTraceListener.h"

namespace System {
namespace Diagnostics {

TextWriterTraceListener::TextWriterTraceListener(const String& path, const String& name)
    : TraceListener(name),
      file_(CreateFileW(path.GetBuffer(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))
{
}

void TextWriterTraceListener::WriteLine(const String& message)
{
    if (!file_) return;
    // One write per line keeps lines whole when several processes append to the same log.
    std::string line = (message + L"\r\n").ToUtf8();
    DWORD written = 0;
    WriteFile(file_.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void TextWriterTraceListener::Close() { file_.Reset(); }

}  // namespace Diagnostics
}  // namespace System
