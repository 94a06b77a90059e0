#include "html/ScriptRegistry.h"

#include <cwctype>

#include "core/Trace.h"
#include "html/Node.h"

namespace Html {

namespace {

std::wstring Trim(const std::wstring& text)
{
    size_t begin = text.find_first_not_of(L" \t\r\n");
    if (begin == std::wstring::npos) return std::wstring();
    size_t end = text.find_last_not_of(L" \t\r\n");
    return text.substr(begin, end - begin + 1);
}

bool IsNameChar(wchar_t c)
{
    return iswalnum(c) || c == L'_' || c == L'$';
}

// Statements split at semicolons outside quotes.
std::vector<std::wstring> Statements(const std::wstring& code)
{
    std::vector<std::wstring> out;
    std::wstring current;
    wchar_t quote = 0;
    for (size_t i = 0; i < code.size(); ++i) {
        wchar_t c = code[i];
        if (quote) {
            current += c;
            if (c == L'\\' && i + 1 < code.size()) {
                current += code[++i];
            } else if (c == quote) {
                quote = 0;
            }
            continue;
        }
        if (c == L'\'' || c == L'"') quote = c;
        if (c == L';') {
            out.push_back(Trim(current));
            current.clear();
            continue;
        }
        current += c;
    }
    out.push_back(Trim(current));
    return out;
}

bool ParseArgument(const std::wstring& text, const Node& self, std::wstring& value)
{
    if (text.size() >= 2 && (text[0] == L'\'' || text[0] == L'"') && text.back() == text[0]) {
        value.clear();
        for (size_t i = 1; i + 1 < text.size(); ++i) {
            if (text[i] == L'\\' && i + 2 < text.size()) {
                wchar_t next = text[++i];
                value += next == L'n' ? L'\n' : next == L't' ? L'\t' : next;
            } else {
                value += text[i];
            }
        }
        return true;
    }
    if (text == L"this.id" || text == L"this") {
        value = self.Id();
        return true;
    }
    if (text == L"this.className") {
        value = self.ClassName();
        return true;
    }
    if (text == L"true" || text == L"false" || text == L"null") {
        value = text == L"null" ? std::wstring() : text;
        return true;
    }
    size_t start = (text.size() > 1 && (text[0] == L'-' || text[0] == L'+')) ? 1 : 0;
    if (start < text.size() && text.find_first_not_of(L"0123456789.", start) == std::wstring::npos) {
        value = text;
        return true;
    }
    return false;
}

}  // namespace

void ScriptRegistry::Register(const std::wstring& name, ScriptFunction function)
{
    functions_[name] = std::move(function);
}

bool ScriptRegistry::Call(const std::wstring& name, const std::vector<std::wstring>& arguments) const
{
    auto found = functions_.find(name);
    if (found == functions_.end()) return false;
    found->second(arguments);
    return true;
}

bool ScriptRegistry::ParseCall(const std::wstring& statement, const Node& self, std::wstring& name,
                               std::vector<std::wstring>& arguments)
{
    std::wstring text = Trim(statement);
    size_t open = text.find(L'(');
    if (open == std::wstring::npos || text.back() != L')') return false;
    name = Trim(text.substr(0, open));
    if (name.empty()) return false;
    for (wchar_t c : name) {
        if (!IsNameChar(c)) return false;
    }
    arguments.clear();
    std::wstring inside = text.substr(open + 1, text.size() - open - 2);
    std::wstring current;
    wchar_t quote = 0;
    bool any = false;
    auto finish = [&]() {
        std::wstring item = Trim(current);
        std::wstring value;
        if (!ParseArgument(item, self, value)) return false;
        arguments.push_back(value);
        current.clear();
        return true;
    };
    for (size_t i = 0; i < inside.size(); ++i) {
        wchar_t c = inside[i];
        if (quote) {
            current += c;
            if (c == L'\\' && i + 1 < inside.size()) {
                current += inside[++i];
            } else if (c == quote) {
                quote = 0;
            }
            continue;
        }
        if (c == L'\'' || c == L'"') quote = c;
        if (c == L',') {
            if (!finish()) return false;
            continue;
        }
        if (!iswspace(c)) any = true;
        current += c;
    }
    if (quote) return false;
    if (any || !arguments.empty()) return finish();
    return true;
}

bool ScriptRegistry::RunHandler(const std::wstring& code, const Node& self, bool& cancel) const
{
    for (std::wstring statement : Statements(code)) {
        if (statement.empty()) continue;
        if (statement.compare(0, 11, L"javascript:") == 0) statement = Trim(statement.substr(11));
        bool isReturn = statement.compare(0, 6, L"return") == 0 &&
                        (statement.size() == 6 || !IsNameChar(statement[6]));
        if (isReturn) {
            statement = Trim(statement.substr(6));
            if (statement == L"false") {
                cancel = true;
                continue;
            }
            if (statement.empty() || statement == L"true") continue;
        }
        std::wstring name;
        std::vector<std::wstring> arguments;
        if (!ParseCall(statement, self, name, arguments)) {
            System::Diagnostics::Trace::WriteLine(L"Page handler not understood: " + statement);
            return false;
        }
        if (!Call(name, arguments)) {
            System::Diagnostics::Trace::WriteLine(L"Page function not found: " + name);
            return false;
        }
    }
    return true;
}

}  // namespace Html
