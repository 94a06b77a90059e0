#include "framework/CString.h"

#include <climits>
#include <cstdarg>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <functional>
#include <memory>
#include <new>
#include <string_view>

#include "framework/CException.h"
#include "framework/ModuleState.h"

namespace {

void CopyCharacters(LPWSTR target, LPCWSTR source, int count)
{
    if (count > 0) wmemcpy(target, source, static_cast<size_t>(count));
}

int SafeLength(LPCWSTR text) { return text ? static_cast<int>(wcslen(text)) : 0; }

LPWSTR NewBuffer(int capacity)
{
    if (capacity < 0 || capacity >= INT_MAX) AfxThrowMemoryException();
    LPWSTR buffer = new (std::nothrow) wchar_t[static_cast<size_t>(capacity) + 1];
    if (!buffer) AfxThrowMemoryException();
    return buffer;
}

// Length of a sum of lengths, which must stay a valid length.
int AddLengths(int a, int b)
{
    long long sum = static_cast<long long>(a) + b;
    if (sum >= INT_MAX) AfxThrowMemoryException();
    return static_cast<int>(sum);
}

// Formats into a new buffer and returns the length, or -1 for a format the CRT rejects; the buffer
// stays null when there is no memory for it.
int FormatList(LPCWSTR format, va_list arguments, std::unique_ptr<wchar_t[]>& buffer)
{
    va_list measure;
    va_copy(measure, arguments);
    // The CRT's own functions keep the Windows meaning of %s in wide formats.
    int length = _vscwprintf(format, measure);
    va_end(measure);
    if (length < 0 || length == INT_MAX) return -1;
    buffer.reset(new (std::nothrow) wchar_t[static_cast<size_t>(length) + 1]);
    if (buffer) {
        _vsnwprintf(buffer.get(), static_cast<size_t>(length) + 1, format, arguments);
        buffer[length] = L'\0';
    }
    return length;
}

bool IsTrimmed(WCHAR character, LPCWSTR targets)
{
    if (!targets) return iswspace(character) != 0;
    return character != L'\0' && wcschr(targets, character) != nullptr;
}

}  // namespace

CString::CString(const CString& other) { Assign(other.data_, other.length_); }

CString::CString(CString&& other) noexcept : data_(other.data_), length_(other.length_), capacity_(other.capacity_)
{
    other.data_ = nullptr;
    other.length_ = 0;
    other.capacity_ = 0;
}

CString::CString(LPCWSTR text) { Assign(text, SafeLength(text)); }

CString::CString(LPCWSTR text, int length)
{
    if (length < 0 || (!text && length > 0)) AfxThrowInvalidArgException();
    Assign(text, length);
}

CString::CString(LPCSTR text) : CString(text, text ? static_cast<int>(strlen(text)) : 0) {}

CString::CString(LPCSTR text, int length)
{
    if (length < 0 || (!text && length > 0)) AfxThrowInvalidArgException();
    if (length == 0) return;
    int wideLength = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    if (wideLength <= 0) AfxThrowInvalidArgException();
    if (MultiByteToWideChar(CP_ACP, 0, text, length, GetBufferSetLength(wideLength), wideLength) != wideLength) {
        Empty();
        AfxThrowInvalidArgException();
    }
}

CString::CString(WCHAR character, int repeat)
{
    if (repeat <= 0) return;
    LPWSTR buffer = GetBufferSetLength(repeat);
    wmemset(buffer, character, static_cast<size_t>(repeat));
}

CString::~CString() { delete[] data_; }

CString& CString::operator=(const CString& other)
{
    if (this != &other) Assign(other.data_, other.length_);
    return *this;
}

CString& CString::operator=(CString&& other) noexcept
{
    if (this != &other) {
        delete[] data_;
        data_ = other.data_;
        length_ = other.length_;
        capacity_ = other.capacity_;
        other.data_ = nullptr;
        other.length_ = 0;
        other.capacity_ = 0;
    }
    return *this;
}

CString& CString::operator=(LPCWSTR text)
{
    Assign(text, SafeLength(text));
    return *this;
}

CString& CString::operator=(LPCSTR text) { return *this = CString(text); }

CString& CString::operator=(WCHAR character)
{
    Assign(&character, 1);
    return *this;
}

void CString::Empty()
{
    delete[] data_;
    data_ = nullptr;
    length_ = 0;
    capacity_ = 0;
}

WCHAR CString::GetAt(int index) const
{
    if (index < 0 || index > length_) AfxThrowInvalidArgException();
    return GetString()[index];
}

void CString::SetAt(int index, WCHAR character)
{
    if (index < 0 || index >= length_) AfxThrowInvalidArgException();
    data_[index] = character;
}

CString& CString::operator+=(const CString& text)
{
    Splice(length_, 0, text.data_, text.length_);
    return *this;
}

CString& CString::operator+=(LPCWSTR text)
{
    Splice(length_, 0, text, SafeLength(text));
    return *this;
}

CString& CString::operator+=(WCHAR character)
{
    Splice(length_, 0, &character, 1);
    return *this;
}

void CString::FormatArguments(BOOL append, LPCWSTR format, ...)
{
    if (!format) AfxThrowInvalidArgException();
    // Formatted into a buffer of its own: an argument may be this very text.
    std::unique_ptr<wchar_t[]> buffer;
    va_list arguments;
    va_start(arguments, format);
    int length = FormatList(format, arguments, buffer);
    va_end(arguments);
    if (length < 0) AfxThrowInvalidArgException();
    if (!buffer) AfxThrowMemoryException();
    if (append) {
        Splice(length_, 0, buffer.get(), length);
        return;
    }
    delete[] data_;
    data_ = buffer.release();
    length_ = length;
    capacity_ = length;
}

int CString::Find(WCHAR character, int start) const
{
    if (start < 0 || start >= length_) return -1;
    size_t found = std::wstring_view(GetString(), length_).find(character, static_cast<size_t>(start));
    return found == std::wstring_view::npos ? -1 : static_cast<int>(found);
}

int CString::Find(LPCWSTR text, int start) const
{
    if (!text || start < 0 || start > length_) return -1;
    size_t found = std::wstring_view(GetString(), length_).find(text, static_cast<size_t>(start));
    return found == std::wstring_view::npos ? -1 : static_cast<int>(found);
}

int CString::ReverseFind(WCHAR character) const
{
    size_t found = std::wstring_view(GetString(), length_).rfind(character);
    return found == std::wstring_view::npos ? -1 : static_cast<int>(found);
}

CString CString::Left(int count) const
{
    if (count < 0) count = 0;
    if (count > length_) count = length_;
    return CString(GetString(), count);
}

CString CString::Mid(int first) const { return Mid(first, length_ - (first < 0 ? 0 : first)); }

CString CString::Mid(int first, int count) const
{
    if (first < 0) first = 0;
    if (count < 0) count = 0;
    if (first >= length_) return CString();
    if (static_cast<long long>(first) + count > length_) count = length_ - first;
    return CString(GetString() + first, count);
}

CString CString::Right(int count) const
{
    if (count < 0) count = 0;
    if (count > length_) count = length_;
    return CString(GetString() + (length_ - count), count);
}

int CString::TrimmedStart(LPCWSTR targets) const
{
    int start = 0;
    while (start < length_ && IsTrimmed(data_[start], targets)) ++start;
    return start;
}

int CString::TrimmedEnd(LPCWSTR targets) const
{
    int end = length_;
    while (end > 0 && IsTrimmed(data_[end - 1], targets)) --end;
    return end;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

CString& CString::Trim(WCHAR target) { return TrimRight(target).TrimLeft(target); }

CString& CString::Trim(LPCWSTR targets) { return TrimRight(targets).TrimLeft(targets); }

CString& CString::TrimLeft()
{
    Splice(0, TrimmedStart(nullptr), nullptr, 0);
    return *this;
}

CString& CString::TrimLeft(WCHAR target)
{
    WCHAR targets[] = {target, L'\0'};
    return TrimLeft(targets);
}

CString& CString::TrimLeft(LPCWSTR targets)
{
    if (targets) Splice(0, TrimmedStart(targets), nullptr, 0);
    return *this;
}

CString& CString::TrimRight()
{
    int end = TrimmedEnd(nullptr);
    Splice(end, length_ - end, nullptr, 0);
    return *this;
}

CString& CString::TrimRight(WCHAR target)
{
    WCHAR targets[] = {target, L'\0'};
    return TrimRight(targets);
}

CString& CString::TrimRight(LPCWSTR targets)
{
    if (!targets) return *this;
    int end = TrimmedEnd(targets);
    Splice(end, length_ - end, nullptr, 0);
    return *this;
}

CString& CString::MakeLower()
{
    if (length_ > 0) CharLowerBuffW(data_, static_cast<DWORD>(length_));
    return *this;
}

CString& CString::MakeUpper()
{
    if (length_ > 0) CharUpperBuffW(data_, static_cast<DWORD>(length_));
    return *this;
}

int CString::Compare(LPCWSTR text) const
{
    int result = std::wstring_view(GetString(), length_).compare(text ? text : L"");
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

int CString::CompareNoCase(LPCWSTR text) const
{
    if (!text) text = L"";
    return CompareStringOrdinal(GetString(), length_, text, SafeLength(text), TRUE) - CSTR_EQUAL;
}

int CString::Replace(WCHAR oldCharacter, WCHAR newCharacter)
{
    if (oldCharacter == newCharacter) return 0;
    int count = 0;
    for (int i = 0; i < length_; ++i) {
        if (data_[i] == oldCharacter) {
            data_[i] = newCharacter;
            ++count;
        }
    }
    return count;
}

int CString::Replace(LPCWSTR oldText, LPCWSTR newText)
{
    int oldLength = SafeLength(oldText);
    if (oldLength == 0) return 0;
    int newLength = SafeLength(newText);
    std::wstring_view text(GetString(), length_);
    int count = 0;
    for (size_t at = text.find(oldText); at != std::wstring_view::npos; at = text.find(oldText, at + oldLength)) {
        ++count;
    }
    if (count == 0) return count;
    long long resultLength = length_ + static_cast<long long>(count) * (newLength - oldLength);
    if (resultLength >= INT_MAX) AfxThrowMemoryException();
    LPWSTR result = NewBuffer(static_cast<int>(resultLength));
    LPWSTR out = result;
    size_t from = 0;
    for (size_t at = text.find(oldText); at != std::wstring_view::npos; at = text.find(oldText, from)) {
        CopyCharacters(out, data_ + from, static_cast<int>(at - from));
        out += at - from;
        CopyCharacters(out, newText, newLength);
        out += newLength;
        from = at + oldLength;
    }
    CopyCharacters(out, data_ + from, static_cast<int>(length_ - from));
    result[resultLength] = L'\0';
    delete[] data_;
    data_ = result;
    length_ = static_cast<int>(resultLength);
    capacity_ = length_;
    return count;
}

int CString::Remove(WCHAR character)
{
    int kept = 0;
    for (int i = 0; i < length_; ++i) {
        if (data_[i] != character) data_[kept++] = data_[i];
    }
    int removed = length_ - kept;
    length_ = kept;
    if (data_) data_[length_] = L'\0';
    return removed;
}

int CString::Insert(int index, WCHAR character)
{
    WCHAR text[] = {character, L'\0'};
    return Insert(index, text);
}

int CString::Insert(int index, LPCWSTR text)
{
    if (index < 0) index = 0;
    if (index > length_) index = length_;
    Splice(index, 0, text, SafeLength(text));
    return length_;
}

int CString::Delete(int index, int count)
{
    if (index < 0) index = 0;
    if (count < 0) count = 0;
    if (index >= length_) return length_;
    if (static_cast<long long>(index) + count > length_) count = length_ - index;
    Splice(index, count, nullptr, 0);
    return length_;
}

CString CString::Tokenize(LPCWSTR delimiters, int& start) const
{
    if (start < 0) AfxThrowInvalidArgException();
    if (start < length_) {
        if (!delimiters || !*delimiters) {
            // The rest is one token; moving start to the end lets a caller's loop finish.
            CString rest = Mid(start);
            start = length_;
            return rest;
        }
        std::wstring_view text(GetString(), length_);
        size_t first = text.find_first_not_of(delimiters, static_cast<size_t>(start));
        if (first != std::wstring_view::npos) {
            size_t end = text.find_first_of(delimiters, first);
            if (end == std::wstring_view::npos) end = text.size();
            start = static_cast<int>(end) + 1;
            return Mid(static_cast<int>(first), static_cast<int>(end - first));
        }
    }
    start = -1;
    return CString();
}

LPWSTR CString::GetBuffer() { return GetBuffer(length_); }

LPWSTR CString::GetBuffer(int minLength)
{
    if (minLength < 0) AfxThrowInvalidArgException();
    int needed = minLength > length_ ? minLength : length_;
    if (!data_ || needed > capacity_) Reallocate(needed);
    return data_;
}

LPWSTR CString::GetBufferSetLength(int length)
{
    LPWSTR buffer = GetBuffer(length);
    length_ = length;
    buffer[length_] = L'\0';
    return buffer;
}

void CString::ReleaseBuffer(int newLength)
{
    if (!data_) return;
    if (newLength < 0) {
        newLength = static_cast<int>(wcsnlen(data_, static_cast<size_t>(capacity_)));
    } else if (newLength > capacity_) {
        newLength = capacity_;
    }
    length_ = newLength;
    data_[length_] = L'\0';
}

BSTR CString::AllocSysString() const
{
    BSTR copy = SysAllocStringLen(GetString(), static_cast<UINT>(length_));
    if (!copy) AfxThrowMemoryException();
    return copy;
}

BOOL CString::LoadString(UINT id)
{
    // A string table block holds the sixteen strings that share id / 16.
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEW(id / 16 + 1), RT_STRING);
    return module ? LoadString(module, id) : FALSE;
}

BOOL CString::LoadString(HINSTANCE module, UINT id)
{
    // With no buffer, the loader hands out the resource's own read-only text and its length.
    LPCWSTR text = nullptr;
    int length = ::LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return FALSE;
    Assign(text, length);
    return TRUE;
}

void CString::Assign(LPCWSTR text, int length) { Splice(0, length_, text, length); }

void CString::Splice(int position, int removed, LPCWSTR inserted, int insertedLength)
{
    int newLength = AddLengths(length_ - removed, insertedLength);
    if (newLength == 0 && !data_) return;
    int tail = length_ - position - removed;
    std::less<LPCWSTR> before;
    bool aliases = inserted && data_ && !before(inserted, data_) && before(inserted, data_ + capacity_ + 1);
    if (!data_ || newLength > capacity_ || aliases) {
        int capacity = capacity_;
        if (!data_ || newLength > capacity_) {
            long long grown = capacity_ + capacity_ / 2LL;
            capacity = grown > newLength && grown < INT_MAX ? static_cast<int>(grown) : newLength;
        }
        LPWSTR buffer = NewBuffer(capacity);
        CopyCharacters(buffer, data_, position);
        CopyCharacters(buffer + position, inserted, insertedLength);
        CopyCharacters(buffer + position + insertedLength, data_ + position + removed, tail);
        buffer[newLength] = L'\0';
        delete[] data_;
        data_ = buffer;
        capacity_ = capacity;
    } else {
        if (tail > 0) wmemmove(data_ + position + insertedLength, data_ + position + removed, static_cast<size_t>(tail));
        CopyCharacters(data_ + position, inserted, insertedLength);
        data_[newLength] = L'\0';
    }
    length_ = newLength;
}

void CString::Reallocate(int capacity)
{
    LPWSTR buffer = NewBuffer(capacity);
    CopyCharacters(buffer, data_, length_);
    buffer[length_] = L'\0';
    delete[] data_;
    data_ = buffer;
    capacity_ = capacity;
}
