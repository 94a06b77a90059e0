#include "framework/CStringArray.h"

CStringArray::CStringArray() = default;

CStringArray::~CStringArray() = default;

INT_PTR CStringArray::GetSize() const { return m_items.GetSize(); }

INT_PTR CStringArray::GetCount() const { return m_items.GetCount(); }

BOOL CStringArray::IsEmpty() const { return m_items.IsEmpty(); }

INT_PTR CStringArray::GetUpperBound() const { return m_items.GetUpperBound(); }

void CStringArray::SetSize(INT_PTR newSize, INT_PTR growBy) { m_items.SetSize(newSize, growBy); }

void CStringArray::FreeExtra() { m_items.FreeExtra(); }

void CStringArray::RemoveAll() { m_items.RemoveAll(); }

const CString& CStringArray::GetAt(INT_PTR index) const { return m_items.GetAt(index); }

void CStringArray::SetAt(INT_PTR index, LPCWSTR newElement) { m_items.GetAt(index) = newElement; }

void CStringArray::SetAt(INT_PTR index, const CString& newElement) { m_items.SetAt(index, newElement); }

CString& CStringArray::ElementAt(INT_PTR index) { return m_items.ElementAt(index); }

const CString& CStringArray::operator[](INT_PTR index) const { return m_items[index]; }

CString& CStringArray::operator[](INT_PTR index) { return m_items[index]; }

const CString* CStringArray::GetData() const { return m_items.GetData(); }

CString* CStringArray::GetData() { return m_items.GetData(); }

void CStringArray::SetAtGrow(INT_PTR index, LPCWSTR newElement) { m_items.SetAtGrow(index, CString(newElement)); }

void CStringArray::SetAtGrow(INT_PTR index, const CString& newElement) { m_items.SetAtGrow(index, newElement); }

INT_PTR CStringArray::Add(LPCWSTR newElement) { return m_items.Add(CString(newElement)); }

INT_PTR CStringArray::Add(const CString& newElement) { return m_items.Add(newElement); }

INT_PTR CStringArray::Append(const CStringArray& src) { return m_items.Append(src.m_items); }

void CStringArray::Copy(const CStringArray& src) { m_items.Copy(src.m_items); }

void CStringArray::InsertAt(INT_PTR index, LPCWSTR newElement, INT_PTR count)
{
    m_items.InsertAt(index, CString(newElement), count);
}

void CStringArray::InsertAt(INT_PTR index, const CString& newElement, INT_PTR count)
{
    m_items.InsertAt(index, newElement, count);
}

void CStringArray::RemoveAt(INT_PTR index, INT_PTR count) { m_items.RemoveAt(index, count); }
