#pragma once

#include <windows.h>
#include <xmllite.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

// Header only, so that the self-contained updater shares it without linking the core library.
namespace System {
namespace Xml {

// Unexpected end of input, the code Windows' XmlLite gives a document that ends inside an element.
constexpr HRESULT XmlInputEnd = static_cast<HRESULT>(0xC00CEE01L);

// Reads the nodes of an XmlLite reader so that a document ending inside an element fails. Wine's
// XmlLite answers such input with S_OK for ever without moving on, or closes the open elements
// itself with end tags placed where they started. A node that does not move the reader, a node of
// no kind, an end tag at its own start tag, an end of input before the root element closes, and
// more nodes than the input has bytes all fail with XmlInputEnd.
class XmlReadGuard {
public:
    // True for input that Wine's XmlLite aborts the process on, so it must never reach the reader:
    // a NUL character or an end inside the XML declaration or right after it. UTF-16 input (with
    // a byte order mark, or starting with "<" as UTF-16LE) is looked at in 16-bit units.
    static bool IsUnreadable(const char* bytes, size_t length)
    {
        const auto* data = reinterpret_cast<const unsigned char*>(bytes);
        size_t width = 1;
        bool bigEndian = false;
        size_t start = 0;
        if (length >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
            width = 2;
            start = 2;
        } else if (length >= 2 && data[0] == 0xFE && data[1] == 0xFF) {
            width = 2;
            start = 2;
            bigEndian = true;
        } else if (length >= 2 && data[0] == '<' && data[1] == 0) {
            width = 2;
        } else if (length >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
            start = 3;
        }
        size_t count = (length - start) / width;
        auto unit = [&](size_t i) -> unsigned {
            const unsigned char* at = data + start + i * width;
            if (width == 1) return at[0];
            return bigEndian ? (at[0] << 8) | at[1] : at[0] | (at[1] << 8);
        };
        for (size_t i = 0; i < count; ++i)
            if (unit(i) == 0) return true;
        if (count < 2 || unit(0) != '<' || unit(1) != '?') return false;
        for (size_t i = 2; i + 1 < count; ++i)
            if (unit(i) == '?' && unit(i + 1) == '>') return i + 2 == count;
        return true;
    }

    // The same for a whole stream, read from its start and put back there; one that cannot seek
    // cannot be read twice and passes unchecked.
    static bool IsUnreadable(IStream* stream)
    {
        LARGE_INTEGER start = {};
        if (!stream || FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr))) return false;
        std::string bytes;
        char chunk[4096];
        ULONG read = 0;
        while (SUCCEEDED(stream->Read(chunk, sizeof chunk, &read)) && read > 0) bytes.append(chunk, read);
        if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr))) return true;
        return IsUnreadable(bytes.data(), bytes.size());
    }

    // inputBytes bounds the number of nodes; 0 when the length is unknown.
    explicit XmlReadGuard(IXmlReader* reader, uint64_t inputBytes = 0) : reader_(reader), limit_(inputBytes + 2) {}

    // The length of a stream, or 0 when it cannot tell.
    static uint64_t StreamLength(IStream* stream)
    {
        STATSTG stat = {};
        if (!stream || FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return 0;
        return stat.cbSize.QuadPart;
    }

    // S_OK with a node, S_FALSE after the root element has closed, or a failure.
    HRESULT Read(XmlNodeType* type)
    {
        if (failure_ != S_OK) return failure_;
        XmlNodeType node = XmlNodeType_None;
        HRESULT result = reader_->Read(&node);
        if (type) *type = node;
        if (FAILED(result)) return failure_ = result;
        if (result != S_OK) return failure_ = rootClosed_ ? S_FALSE : XmlInputEnd;
        if (node == XmlNodeType_None) return failure_ = XmlInputEnd;
        UINT line = 0;
        UINT column = 0;
        reader_->GetLineNumber(&line);
        reader_->GetLinePosition(&column);
        bool empty = node == XmlNodeType_Element && reader_->IsEmptyElement();
        if (nodes_ > 0 && node == lastNode_ && line == lastLine_ && column == lastColumn_ && empty == lastEmpty_)
            return failure_ = XmlInputEnd;
        if (++nodes_ > limit_ && limit_ > 2) return failure_ = XmlInputEnd;
        lastNode_ = node;
        lastLine_ = line;
        lastColumn_ = column;
        lastEmpty_ = empty;
        if (node == XmlNodeType_Element) {
            if (depth_ == 0 && !empty) open_ = true;
            if (depth_ == 0 && empty) rootClosed_ = true;
            if (!empty) {
                ++depth_;
                starts_.emplace_back(line, column);
            }
        } else if (node == XmlNodeType_EndElement && depth_ > 0) {
            if (line != 0 && starts_.back() == std::make_pair(line, column)) return failure_ = XmlInputEnd;
            starts_.pop_back();
            if (--depth_ == 0 && open_) rootClosed_ = true;
        }
        return S_OK;
    }

private:
    IXmlReader* reader_;
    uint64_t limit_;
    uint64_t nodes_ = 0;
    HRESULT failure_ = S_OK;
    XmlNodeType lastNode_ = XmlNodeType_None;
    UINT lastLine_ = 0;
    UINT lastColumn_ = 0;
    bool lastEmpty_ = false;
    int depth_ = 0;
    // Where each open element's start tag stands.
    std::vector<std::pair<UINT, UINT>> starts_;
    bool open_ = false;
    bool rootClosed_ = false;
};

}  // namespace Xml
}  // namespace System
