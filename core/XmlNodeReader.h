#pragma once

#include <windows.h>
#include <xmllite.h>

#include <vector>

#include "core/CoreApi.h"

namespace System {
namespace Xml {

// Reads the nodes of an XmlLite reader so that a document cut short always ends in an error, as
// on Windows. Some readers instead hand out the last text node again and again for ever, or make
// up end tags for the elements left open; both are reported as MX_E_INPUTEND here.
class VAPCORE_API XmlNodeReader {
public:
    // The reader stays the caller's and must outlive this object.
    explicit XmlNodeReader(IXmlReader* reader);

    // S_OK with the next node in *type; S_FALSE at the end of a complete document; an error
    // otherwise, and the same error on every later call.
    HRESULT Read(XmlNodeType* type);

private:
    struct Position {
        UINT line = 0;
        UINT column = 0;
        bool operator==(const Position& other) const { return line == other.line && column == other.column; }
    };

    HRESULT Fail(HRESULT error);

    IXmlReader* reader_;
    // Where each open element's start tag stands: a real end tag always stands after it.
    std::vector<Position> open_;
    XmlNodeType lastType_ = XmlNodeType_None;
    Position lastPosition_;
    HRESULT failure_ = S_OK;
};

}  // namespace Xml
}  // namespace System
