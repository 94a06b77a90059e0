#pragma once

#include <string>
#include <vector>

#include "html/StyleSheet.h"

namespace Html {

// A forgiving parser for the CSS subset: unknown properties, unsupported selectors and at-rules
// are skipped, as a browser skips them.
class CssParser {
public:
    // Appends the rules of text to sheet; url() references are resolved against baseUrl.
    static void Parse(const std::wstring& text, const std::wstring& baseUrl, StyleSheet& sheet);
    // The declarations of a style attribute or of one rule's block.
    static std::vector<Declaration> ParseDeclarations(const std::wstring& text, const std::wstring& baseUrl);
};

}  // namespace Html
