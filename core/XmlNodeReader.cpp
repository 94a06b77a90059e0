#include "core/XmlNodeReader.h"

namespace System {
namespace Xml {

XmlNodeReader::XmlNodeReader(IXmlReader* reader) : reader_(reader) {}

HRESULT XmlNodeReader::Fail(HRESULT error)
{
    failure_ = error;
    return error;
}

HRESULT XmlNodeReader::Read(XmlNodeType* type)
{
    if (!type) return E_POINTER;
    *type = XmlNodeType_None;
    if (FAILED(failure_)) return failure_;
    if (!reader_) return Fail(E_POINTER);

    XmlNodeType node = XmlNodeType_None;
    HRESULT result = reader_->Read(&node);
    if (FAILED(result)) return Fail(result);
    if (result != S_OK || node == XmlNodeType_None) {
        // The end of the input with elements still open is a cut, however the reader reports it.
        if (!open_.empty()) return Fail(MX_E_INPUTEND);
        return S_FALSE;
    }

    Position position;
    if (FAILED(reader_->GetLineNumber(&position.line)) || FAILED(reader_->GetLinePosition(&position.column)))
        return Fail(E_UNEXPECTED);
    // Two nodes never start at the same place; seeing one again means the reader is stuck at a cut.
    if (node == lastType_ && position == lastPosition_) return Fail(MX_E_INPUTEND);
    lastType_ = node;
    lastPosition_ = position;

    if (node == XmlNodeType_Element) {
        if (!reader_->IsEmptyElement()) open_.push_back(position);
    } else if (node == XmlNodeType_EndElement) {
        if (open_.empty()) return Fail(WC_E_ELEMENTMATCH);
        Position start = open_.back();
        open_.pop_back();
        if (position == start) return Fail(MX_E_INPUTEND);
    }
    *type = node;
    return S_OK;
}

}  // namespace Xml
}  // namespace System
