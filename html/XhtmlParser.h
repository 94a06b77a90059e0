#pragma once

#include <memory>
#include <string>
#include <vector>

#include "html/Node.h"

namespace Html {

class Document;

// Reads well-formed XHTML with XmlLite. Document type declarations are never processed; character
// references are.
class XhtmlParser {
public:
    // Parses a UTF-8 page and makes its root the document's root. A leading document type
    // declaration without an internal subset is skipped. Throws System::FormatException naming the
    // line and column of malformed input.
    static void ParsePage(Document* document, const std::string& utf8);
    // Parses markup as element content. HTML habits are accepted: void elements left open (<br>)
    // and the common named entities (&nbsp;). False when it still is not well-formed.
    static bool ParseFragment(Document* document, const std::wstring& fragment,
                              std::vector<std::unique_ptr<Node>>& nodes);
};

}  // namespace Html
