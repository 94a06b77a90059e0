#pragma once

#include "core/Object.h"
#include "core/String.h"
#include "vdwin32/Vdwin32Api.h"

namespace Vela {
namespace Win32 {

// A command line as the registry stores it (a program, often quoted, with arguments and
// %variables%), asked whether the program or file it names exists.
class VDWIN32_API CommandLine : public System::Object {
public:
    // baseFolder is searched first for a relative program name; empty searches the system's
    // path only.
    CommandLine(const System::String& commandLine, const System::String& baseFolder);

    // True when the named program or file exists as a file. An unquoted line whose path holds
    // spaces is tried at each space in turn, as the system's program loader does, and a name
    // without an extension is also tried with ".exe".
    bool Exists() const;

private:
    bool CandidateExists(const System::String& candidate) const;

    System::String commandLine_;
    System::String baseFolder_;
};

}  // namespace Win32
}  // namespace Vela
