#include "core/String.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "core/Exception.h"

namespace System {

String::String(const wchar_t* text)
{
    if (text) text_ = text;
}

String::String(const wchar_t* text, int length)
{
    if (length < 0) throw new ArgumentOutOfRangeException(L"length");
    if (length > 0 && !text) throw new ArgumentNullException(L"text");
    if (text) text_.assign(text, static_cast<size_t>(length));
}

String String::FromUtf8(const char* bytes, int length)
{
    if (length <= 0) return String();
    int wideLength = MultiByteToWideChar(CP_UTF8, 0, bytes, length, nullptr, 0);
    if (wideLength <= 0) throw new ArgumentException(L"The bytes are not valid UTF-8 text.");
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes, length, &wide[0], wideLength);
    return String(std::move(wide));
}

std::string String::ToUtf8() const
{
    if (text_.empty()) return std::string();
    int length = WideCharToMultiByte(CP_UTF8, 0, text_.data(), GetLength(), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text_.data(), GetLength(), &bytes[0], length, nullptr, nullptr);
    return bytes;
}

String String::Format(const wchar_t* format, ...)
{
    if (!format) throw new ArgumentNullException(L"format");
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    // The CRT's own functions keep the Windows meaning of %s in wide formats.
    int length = _vscwprintf(format, measure);
    va_end(measure);
    if (length < 0) {
        va_end(args);
        throw new ArgumentException(L"Invalid format string.");
    }
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    _vsnwprintf(buffer.data(), buffer.size(), format, args);
    va_end(args);
    return String(buffer.data(), length);
}

wchar_t String::operator[](int index) const
{
    if (index < 0 || index >= GetLength()) _Throw(ThrowIndexOutOfRange);
    return text_[static_cast<size_t>(index)];
}

int String::Compare(const String& a, const String& b, bool ignoreCase)
{
    if (!ignoreCase) return a.text_.compare(b.text_) < 0 ? -1 : (a.text_ == b.text_ ? 0 : 1);
    int result = CompareStringOrdinal(a.text_.data(), a.GetLength(), b.text_.data(), b.GetLength(), TRUE);
    return result - CSTR_EQUAL;
}

bool String::StartsWith(const String& value, bool ignoreCase) const
{
    if (value.GetLength() > GetLength()) return false;
    return Compare(Substring(0, value.GetLength()), value, ignoreCase) == 0;
}

bool String::EndsWith(const String& value, bool ignoreCase) const
{
    if (value.GetLength() > GetLength()) return false;
    return Compare(Substring(GetLength() - value.GetLength()), value, ignoreCase) == 0;
}

int String::IndexOf(const String& value, int start) const
{
    if (start < 0 || start > GetLength()) throw new ArgumentOutOfRangeException(L"start");
    size_t found = text_.find(value.text_, static_cast<size_t>(start));
    return found == std::wstring::npos ? -1 : static_cast<int>(found);
}

int String::IndexOf(wchar_t value, int start) const
{
    if (start < 0 || start > GetLength()) throw new ArgumentOutOfRangeException(L"start");
    size_t found = text_.find(value, static_cast<size_t>(start));
    return found == std::wstring::npos ? -1 : static_cast<int>(found);
}

int String::LastIndexOf(const String& value) const
{
    size_t found = text_.rfind(value.text_);
    return found == std::wstring::npos ? -1 : static_cast<int>(found);
}

int String::LastIndexOf(wchar_t value) const
{
    size_t found = text_.rfind(value);
    return found == std::wstring::npos ? -1 : static_cast<int>(found);
}

String String::Substring(int start) const
{
    if (start < 0 || start > GetLength()) throw new ArgumentOutOfRangeException(L"start");
    return String(text_.substr(static_cast<size_t>(start)));
}

String String::Substring(int start, int length) const
{
    if (start < 0 || start > GetLength()) throw new ArgumentOutOfRangeException(L"start");
    if (length < 0 || length > GetLength() - start) throw new ArgumentOutOfRangeException(L"length");
    return String(text_.substr(static_cast<size_t>(start), static_cast<size_t>(length)));
}

Array<String> String::Split(const String& separators) const
{
    std::vector<String> pieces;
    size_t begin = 0;
    for (;;) {
        size_t end = text_.find_first_of(separators.text_, begin);
        if (end == std::wstring::npos) break;
        pieces.emplace_back(text_.substr(begin, end - begin));
        begin = end + 1;
    }
    pieces.emplace_back(text_.substr(begin));
    return Array<String>(std::move(pieces));
}

String String::Replace(const String& oldValue, const String& newValue) const
{
    if (oldValue.IsEmpty()) throw new ArgumentException(L"The text to replace is empty.");
    std::wstring result;
    size_t begin = 0;
    for (;;) {
        size_t found = text_.find(oldValue.text_, begin);
        if (found == std::wstring::npos) break;
        result.append(text_, begin, found - begin);
        result += newValue.text_;
        begin = found + oldValue.text_.size();
    }
    result.append(text_, begin, std::wstring::npos);
    return String(std::move(result));
}

String String::ToLower() const
{
    std::wstring result = text_;
    if (!result.empty()) CharLowerBuffW(&result[0], static_cast<DWORD>(result.size()));
    return String(std::move(result));
}

String String::ToUpper() const
{
    std::wstring result = text_;
    if (!result.empty()) CharUpperBuffW(&result[0], static_cast<DWORD>(result.size()));
    return String(std::move(result));
}

String String::Trim() const
{
    static const wchar_t* const whitespace = L" \t\r\n\v\f\u00a0\u3000";
    size_t first = text_.find_first_not_of(whitespace);
    if (first == std::wstring::npos) return String();
    size_t last = text_.find_last_not_of(whitespace);
    return String(text_.substr(first, last - first + 1));
}

int64_t String::GetHashCode() const
{
    // FNV-1a over the code units: cheap, and stable from run to run.
    uint64_t hash = 14695981039346656037ull;
    for (wchar_t unit : text_) {
        hash ^= static_cast<uint16_t>(unit);
        hash *= 1099511628211ull;
    }
    return static_cast<int64_t>(hash);
}

}  // namespace System
