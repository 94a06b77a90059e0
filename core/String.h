#pragma once

#include <cstdint>
#include <string>

#include "core/Array.h"
#include "core/CoreApi.h"

namespace System {

// The suite's wide-character text. Equality and ordering are ordinal (UTF-16 code units).
class VAPCORE_API String {
public:
    String() = default;
    String(const wchar_t* text);
    String(const wchar_t* text, int length);
    String(std::wstring text) : text_(std::move(text)) {}

    static String FromUtf8(const char* bytes, int length);
    static String FromUtf8(const std::string& bytes) { return FromUtf8(bytes.data(), static_cast<int>(bytes.size())); }
    std::string ToUtf8() const;

    // printf-style formatting with the Windows meaning of %s: a wide string.
    static String Format(const wchar_t* format, ...);

    int GetLength() const { return static_cast<int>(text_.size()); }
    bool IsEmpty() const { return text_.empty(); }
    const wchar_t* GetBuffer() const { return text_.c_str(); }
    const std::wstring& GetStdString() const { return text_; }
    wchar_t operator[](int index) const;

    String operator+(const String& other) const { return String(text_ + other.text_); }
    String& operator+=(const String& other)
    {
        text_ += other.text_;
        return *this;
    }
    bool operator==(const String& other) const { return text_ == other.text_; }
    bool operator!=(const String& other) const { return text_ != other.text_; }
    bool operator<(const String& other) const { return text_ < other.text_; }

    // Negative, zero or positive as a sorts before, with or after b.
    static int Compare(const String& a, const String& b, bool ignoreCase);
    bool Equals(const String& other, bool ignoreCase) const { return Compare(*this, other, ignoreCase) == 0; }

    bool Contains(const String& value) const { return IndexOf(value) >= 0; }
    bool StartsWith(const String& value, bool ignoreCase = false) const;
    bool EndsWith(const String& value, bool ignoreCase = false) const;
    // Position of the first occurrence at or after start, or -1.
    int IndexOf(const String& value, int start = 0) const;
    int IndexOf(wchar_t value, int start = 0) const;
    int LastIndexOf(const String& value) const;
    int LastIndexOf(wchar_t value) const;

    String Substring(int start) const;
    String Substring(int start, int length) const;
    // Splits at every character of separators; empty pieces are kept.
    Array<String> Split(const String& separators) const;
    String Replace(const String& oldValue, const String& newValue) const;
    String ToLower() const;
    String ToUpper() const;
    String Trim() const;

    int64_t GetHashCode() const;

private:
    std::wstring text_;
};

inline String operator+(const wchar_t* left, const String& right) { return String(left) + right; }

struct StringHasher {
    size_t operator()(const String& text) const { return static_cast<size_t>(text.GetHashCode()); }
};

}  // namespace System
