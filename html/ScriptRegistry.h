#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "html/HtmlApi.h"

namespace Html {

class Node;

// A page function written in C++; arguments arrive as texts (numbers as their literal text).
using ScriptFunction = std::function<void(const std::vector<std::wstring>& arguments)>;

// The page's script: C++ functions registered by name, and the plain calls of event attributes.
class HTML_API ScriptRegistry {
public:
    // Registers or replaces a function.
    void Register(const std::wstring& name, ScriptFunction function);
    bool Has(const std::wstring& name) const { return functions_.count(name) != 0; }
    // False when no function has that name.
    bool Call(const std::wstring& name, const std::vector<std::wstring>& arguments) const;

    // Runs an event attribute: statements separated by semicolons, each a call such as
    // "on_switch(2)" or "_button_onmouseover(this.id)", "return false", or "return" and a call.
    // Arguments are string or number literals, true, false, null, this.id, this.className or
    // this (its id). Returns false when a statement is not of that form or calls an unknown
    // function; the statements before it have run. cancel is set by "return false".
    bool RunHandler(const std::wstring& code, const Node& self, bool& cancel) const;

    // Splits one call into its function name and argument texts.
    static bool ParseCall(const std::wstring& statement, const Node& self, std::wstring& name,
                          std::vector<std::wstring>& arguments);

private:
    std::map<std::wstring, ScriptFunction> functions_;
};

}  // namespace Html
