#pragma once

#include <windows.h>

#include "framework/CArray.h"
#include "framework/CObject.h"
#include "framework/CString.h"
#include "framework/FrameworkApi.h"

// A growable array of texts. An index outside the array raises CInvalidArgException.
class VTFRAMEWORK_API CStringArray : public CObject {
public:
    CStringArray();
    ~CStringArray() override;

    INT_PTR GetSize() const;
    INT_PTR GetCount() const;
    BOOL IsEmpty() const;
    INT_PTR GetUpperBound() const;
    void SetSize(INT_PTR newSize, INT_PTR growBy = -1);
    void FreeExtra();
    void RemoveAll();

    const CString& GetAt(INT_PTR index) const;
    void SetAt(INT_PTR index, LPCWSTR newElement);
    void SetAt(INT_PTR index, const CString& newElement);
    CString& ElementAt(INT_PTR index);
    const CString& operator[](INT_PTR index) const;
    CString& operator[](INT_PTR index);
    const CString* GetData() const;
    CString* GetData();

    void SetAtGrow(INT_PTR index, LPCWSTR newElement);
    void SetAtGrow(INT_PTR index, const CString& newElement);
    // Returns the new element's index.
    INT_PTR Add(LPCWSTR newElement);
    INT_PTR Add(const CString& newElement);
    // Returns the index of the first appended element.
    INT_PTR Append(const CStringArray& src);
    void Copy(const CStringArray& src);
    void InsertAt(INT_PTR index, LPCWSTR newElement, INT_PTR count = 1);
    void InsertAt(INT_PTR index, const CString& newElement, INT_PTR count = 1);
    void RemoveAt(INT_PTR index, INT_PTR count = 1);

private:
    CArray<CString, const CString&> m_items;
};
