#pragma once

#include <windows.h>
#include <oleauto.h>

#include "framework/FrameworkApi.h"

// Wide text with the classic framework's operations. Positions and counts outside the text are
// clamped to it; reading a character outside it raises CInvalidArgException; running out of memory
// raises CMemoryException.
class VTFRAMEWORK_API CString {
public:
    CString() = default;
    CString(const CString& other);
    CString(CString&& other) noexcept;
    CString(LPCWSTR text);
    CString(LPCWSTR text, int length);
    // Narrow text in the ANSI code page.
    CString(LPCSTR text);
    CString(LPCSTR text, int length);
    explicit CString(WCHAR character, int repeat = 1);
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(LPCWSTR text);
    CString& operator=(LPCSTR text);
    CString& operator=(WCHAR character);

    int GetLength() const { return length_; }
    BOOL IsEmpty() const { return length_ == 0; }
    void Empty();
    LPCWSTR GetString() const { return data_ ? data_ : L""; }
    operator LPCWSTR() const { return GetString(); }
    // The character at index; index GetLength() reads the terminating zero.
    WCHAR GetAt(int index) const;
    WCHAR operator[](int index) const { return GetAt(index); }
    void SetAt(int index, WCHAR character);

    CString& operator+=(const CString& text);
    CString& operator+=(LPCWSTR text);
    CString& operator+=(WCHAR character);

    // printf-style formatting with the Windows meaning of %s in wide formats: a wide string.
    // CString arguments are passed as their text, as the classic library allows.
    template <class... Args>
    void Format(LPCWSTR format, const Args&... args)
    {
        FormatArguments(FALSE, format, PassArgument(args)...);
    }
    template <class... Args>
    void AppendFormat(LPCWSTR format, const Args&... args)
    {
        FormatArguments(TRUE, format, PassArgument(args)...);
    }

    // Position of the first occurrence at or after start, or -1.
    int Find(WCHAR character, int start = 0) const;
    int Find(LPCWSTR text, int start = 0) const;
    // Position of the last occurrence, or -1.
    int ReverseFind(WCHAR character) const;

    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;

    // Without arguments, white space is trimmed.
    CString& Trim();
    CString& Trim(WCHAR target);
    CString& Trim(LPCWSTR targets);
    CString& TrimLeft();
    CString& TrimLeft(WCHAR target);
    CString& TrimLeft(LPCWSTR targets);
    CString& TrimRight();
    CString& TrimRight(WCHAR target);
    CString& TrimRight(LPCWSTR targets);

    CString& MakeLower();
    CString& MakeUpper();

    // Negative, zero or positive as this text sorts before, with or after the other; ordinal.
    int Compare(LPCWSTR text) const;
    int CompareNoCase(LPCWSTR text) const;

    // Each returns the number of replacements or removals made.
    int Replace(WCHAR oldCharacter, WCHAR newCharacter);
    int Replace(LPCWSTR oldText, LPCWSTR newText);
    int Remove(WCHAR character);
    // Each returns the new length.
    int Insert(int index, WCHAR character);
    int Insert(int index, LPCWSTR text);
    int Delete(int index, int count = 1);

    // The next token at or after start, skipping leading delimiters; start moves past it. At the end
    // the result is empty and start becomes -1.
    CString Tokenize(LPCWSTR delimiters, int& start) const;

    // A writable buffer with room for at least minLength characters and a terminating zero; the text
    // keeps its length until ReleaseBuffer.
    LPWSTR GetBuffer();
    LPWSTR GetBuffer(int minLength);
    LPWSTR GetBufferSetLength(int length);
    // Ends buffer access; -1 takes the length up to the first zero (never beyond the buffer).
    void ReleaseBuffer(int newLength = -1);

    // A BSTR copy that the caller frees with SysFreeString.
    BSTR AllocSysString() const;

    // Loads a string resource: from the current resource module and the resource chain, or from
    // the given module. FALSE, and the text unchanged, when there is no such string.
    BOOL LoadString(UINT id);
    BOOL LoadString(HINSTANCE module, UINT id);

private:
    static LPCWSTR PassArgument(const CString& text) { return text.GetString(); }
    template <class T>
    static const T& PassArgument(const T& value)
    {
        return value;
    }
    void FormatArguments(BOOL append, LPCWSTR format, ...);

    void Assign(LPCWSTR text, int length);
    // Replaces removed characters at position with inserted ones; inserted may point into this text.
    void Splice(int position, int removed, LPCWSTR inserted, int insertedLength);
    void Reallocate(int capacity);
    int TrimmedStart(LPCWSTR targets) const;
    int TrimmedEnd(LPCWSTR targets) const;

    LPWSTR data_ = nullptr;
    int length_ = 0;
    // Characters the buffer holds, not counting the terminating zero.
    int capacity_ = 0;
};

inline CString operator+(const CString& left, const CString& right)
{
    CString result(left);
    result += right;
    return result;
}
inline CString operator+(const CString& left, LPCWSTR right)
{
    CString result(left);
    result += right;
    return result;
}
inline CString operator+(LPCWSTR left, const CString& right)
{
    CString result(left);
    result += right;
    return result;
}
inline CString operator+(const CString& left, WCHAR right)
{
    CString result(left);
    result += right;
    return result;
}
inline CString operator+(WCHAR left, const CString& right)
{
    CString result(left);
    result += right;
    return result;
}

inline bool operator==(const CString& left, const CString& right) { return left.Compare(right) == 0; }
inline bool operator==(const CString& left, LPCWSTR right) { return left.Compare(right) == 0; }
inline bool operator==(LPCWSTR left, const CString& right) { return right.Compare(left) == 0; }
inline bool operator!=(const CString& left, const CString& right) { return left.Compare(right) != 0; }
inline bool operator!=(const CString& left, LPCWSTR right) { return left.Compare(right) != 0; }
inline bool operator!=(LPCWSTR left, const CString& right) { return right.Compare(left) != 0; }
inline bool operator<(const CString& left, const CString& right) { return left.Compare(right) < 0; }
inline bool operator<(const CString& left, LPCWSTR right) { return left.Compare(right) < 0; }
inline bool operator<(LPCWSTR left, const CString& right) { return right.Compare(left) > 0; }
inline bool operator>(const CString& left, const CString& right) { return left.Compare(right) > 0; }
inline bool operator>(const CString& left, LPCWSTR right) { return left.Compare(right) > 0; }
inline bool operator>(LPCWSTR left, const CString& right) { return right.Compare(left) < 0; }
inline bool operator<=(const CString& left, const CString& right) { return left.Compare(right) <= 0; }
inline bool operator<=(const CString& left, LPCWSTR right) { return left.Compare(right) <= 0; }
inline bool operator<=(LPCWSTR left, const CString& right) { return right.Compare(left) >= 0; }
inline bool operator>=(const CString& left, const CString& right) { return left.Compare(right) >= 0; }
inline bool operator>=(const CString& left, LPCWSTR right) { return left.Compare(right) >= 0; }
inline bool operator>=(LPCWSTR left, const CString& right) { return right.Compare(left) <= 0; }
