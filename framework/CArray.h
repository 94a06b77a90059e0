#pragma once

#include <windows.h>

#include <cstdint>
#include <new>
#include <utility>

#include "framework/CException.h"
#include "framework/CObject.h"
#include "framework/CString.h"

// A growable array of TYPE; ARG_TYPE is how elements are passed in. An index outside the array
// raises CInvalidArgException; running out of memory raises CMemoryException.
template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
public:
    CArray() = default;
    ~CArray() override { RemoveAll(); }

    INT_PTR GetSize() const { return m_nSize; }
    INT_PTR GetCount() const { return m_nSize; }
    BOOL IsEmpty() const { return m_nSize == 0; }
    INT_PTR GetUpperBound() const { return m_nSize - 1; }
    // New elements are value-initialised; growBy sets how many elements each reallocation adds
    // (0: an eighth of the size, between 4 and 1024), -1 keeps the current setting.
    void SetSize(INT_PTR newSize, INT_PTR growBy = -1);
    void FreeExtra();
    void RemoveAll() { SetSize(0); }

    const TYPE& GetAt(INT_PTR index) const { return m_pData[CheckedIndex(index)]; }
    TYPE& GetAt(INT_PTR index) { return m_pData[CheckedIndex(index)]; }
    void SetAt(INT_PTR index, ARG_TYPE newElement) { m_pData[CheckedIndex(index)] = newElement; }
    const TYPE& ElementAt(INT_PTR index) const { return GetAt(index); }
    TYPE& ElementAt(INT_PTR index) { return GetAt(index); }
    const TYPE& operator[](INT_PTR index) const { return GetAt(index); }
    TYPE& operator[](INT_PTR index) { return GetAt(index); }
    const TYPE* GetData() const { return m_pData; }
    TYPE* GetData() { return m_pData; }

    // Sets the element at index, growing the array to reach it.
    void SetAtGrow(INT_PTR index, ARG_TYPE newElement);
    // Returns the new element's index.
    INT_PTR Add(ARG_TYPE newElement);
    // Appends src's elements (src may be this array); returns the index of the first one.
    INT_PTR Append(const CArray& src);
    void Copy(const CArray& src);
    // Inserts count copies of newElement at index, growing the array when index is past its end.
    void InsertAt(INT_PTR index, ARG_TYPE newElement, INT_PTR count = 1);
    void RemoveAt(INT_PTR index, INT_PTR count = 1);

private:
    INT_PTR CheckedIndex(INT_PTR index) const
    {
        if (index < 0 || index >= m_nSize) AfxThrowInvalidArgException();
        return index;
    }
    void Reallocate(INT_PTR capacity);

    TYPE* m_pData = nullptr;
    INT_PTR m_nSize = 0;
    INT_PTR m_nMaxSize = 0;
    INT_PTR m_nGrowBy = 0;
};

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::Reallocate(INT_PTR capacity)
{
    if (capacity < 0 || static_cast<size_t>(capacity) > PTRDIFF_MAX / sizeof(TYPE)) AfxThrowMemoryException();
    TYPE* data = nullptr;
    if (capacity > 0) {
        data = static_cast<TYPE*>(::operator new(sizeof(TYPE) * static_cast<size_t>(capacity), std::nothrow));
        if (!data) AfxThrowMemoryException();
        for (INT_PTR i = 0; i < m_nSize; ++i) {
            new (data + i) TYPE(std::move(m_pData[i]));
            m_pData[i].~TYPE();
        }
    }
    ::operator delete(m_pData);
    m_pData = data;
    m_nMaxSize = capacity;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::SetSize(INT_PTR newSize, INT_PTR growBy)
{
    if (newSize < 0) AfxThrowInvalidArgException();
    if (growBy >= 0) m_nGrowBy = growBy;
    if (newSize > m_nMaxSize) {
        INT_PTR step = m_nGrowBy;
        if (step == 0) {
            step = m_nSize / 8;
            step = step < 4 ? 4 : (step > 1024 ? 1024 : step);
        }
        Reallocate(newSize < m_nMaxSize + step ? m_nMaxSize + step : newSize);
    }
    for (; m_nSize < newSize; ++m_nSize) new (m_pData + m_nSize) TYPE();
    for (; m_nSize > newSize; --m_nSize) m_pData[m_nSize - 1].~TYPE();
    if (newSize == 0) Reallocate(0);
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::FreeExtra()
{
    if (m_nSize != m_nMaxSize) Reallocate(m_nSize);
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::SetAtGrow(INT_PTR index, ARG_TYPE newElement)
{
    if (index < 0) AfxThrowInvalidArgException();
    if (index < m_nSize) {
        m_pData[index] = newElement;
        return;
    }
    // Copied first: the argument may refer to an element that growing moves.
    TYPE value(newElement);
    SetSize(index + 1);
    m_pData[index] = std::move(value);
}

template <class TYPE, class ARG_TYPE>
INT_PTR CArray<TYPE, ARG_TYPE>::Add(ARG_TYPE newElement)
{
    INT_PTR index = m_nSize;
    SetAtGrow(index, newElement);
    return index;
}

template <class TYPE, class ARG_TYPE>
INT_PTR CArray<TYPE, ARG_TYPE>::Append(const CArray& src)
{
    INT_PTR oldSize = m_nSize;
    INT_PTR count = src.m_nSize;
    SetSize(oldSize + count);
    // Read through src after growing, so that appending an array to itself reads moved elements.
    for (INT_PTR i = 0; i < count; ++i) m_pData[oldSize + i] = src.m_pData[i];
    return oldSize;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::Copy(const CArray& src)
{
    if (this == &src) return;
    SetSize(src.m_nSize);
    for (INT_PTR i = 0; i < m_nSize; ++i) m_pData[i] = src.m_pData[i];
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::InsertAt(INT_PTR index, ARG_TYPE newElement, INT_PTR count)
{
    if (index < 0 || count <= 0) AfxThrowInvalidArgException();
    TYPE value(newElement);
    if (index >= m_nSize) {
        SetSize(index + count);
    } else {
        INT_PTR oldSize = m_nSize;
        SetSize(oldSize + count);
        for (INT_PTR i = oldSize - 1; i >= index; --i) m_pData[i + count] = std::move(m_pData[i]);
    }
    for (INT_PTR i = index; i < index + count; ++i) m_pData[i] = value;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::RemoveAt(INT_PTR index, INT_PTR count)
{
    if (index < 0 || count < 0 || index > m_nSize || count > m_nSize - index) AfxThrowInvalidArgException();
    for (INT_PTR i = index + count; i < m_nSize; ++i) m_pData[i - count] = std::move(m_pData[i]);
    SetSize(m_nSize - count);
}

// Arrays of untyped and of framework object pointers, the bases of CTypedPtrArray.
class CPtrArray : public CArray<void*, void*> {};
class CObArray : public CArray<CObject*, CObject*> {};

// A CPtrArray or CObArray whose elements are pointers of type TYPE.
template <class BASE_CLASS, class TYPE>
class CTypedPtrArray : public BASE_CLASS {
public:
    TYPE GetAt(INT_PTR index) const { return static_cast<TYPE>(BASE_CLASS::GetAt(index)); }
    TYPE& ElementAt(INT_PTR index) { return reinterpret_cast<TYPE&>(BASE_CLASS::ElementAt(index)); }
    TYPE operator[](INT_PTR index) const { return GetAt(index); }
    TYPE& operator[](INT_PTR index) { return ElementAt(index); }
    void SetAt(INT_PTR index, TYPE element) { BASE_CLASS::SetAt(index, element); }
    void SetAtGrow(INT_PTR index, TYPE element) { BASE_CLASS::SetAtGrow(index, element); }
    INT_PTR Add(TYPE element) { return BASE_CLASS::Add(element); }
    INT_PTR Append(const CTypedPtrArray& src) { return BASE_CLASS::Append(src); }
    void Copy(const CTypedPtrArray& src) { BASE_CLASS::Copy(src); }
    void InsertAt(INT_PTR index, TYPE element, INT_PTR count = 1) { BASE_CLASS::InsertAt(index, element, count); }
};

// Hash of a map key: the value itself for numbers and pointers (shifted, as pointers are aligned),
// and a multiplicative hash of the characters for text.
template <class ARG_KEY>
inline UINT HashKey(ARG_KEY key)
{
    return static_cast<UINT>((DWORD_PTR)key >> 4);
}
template <>
inline UINT HashKey<LPCWSTR>(LPCWSTR key)
{
    UINT hash = 0;
    while (key && *key) hash = (hash << 5) + hash + *key++;
    return hash;
}
template <>
inline UINT HashKey<const CString&>(const CString& key)
{
    return HashKey<LPCWSTR>(key);
}
template <>
inline UINT HashKey<CString>(CString key)
{
    return HashKey<LPCWSTR>(key);
}

// A hash map from KEY to VALUE; ARG_KEY and ARG_VALUE are how they are passed in. Walking it with
// GetStartPosition and GetNextAssoc visits the hash buckets in order and, within a bucket, the
// most recently added key first.
template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject {
public:
    // Entries are allocated blockSize at a time.
    explicit CMap(INT_PTR blockSize = 10) : m_nBlockSize(blockSize > 0 ? blockSize : 10) {}
    ~CMap() override { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    // FALSE, and value unchanged, when the key is absent.
    BOOL Lookup(ARG_KEY key, VALUE& value) const;
    // The value of key, added with a value-initialised value when absent.
    VALUE& operator[](ARG_KEY key);
    void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }
    // FALSE when the key was absent.
    BOOL RemoveKey(ARG_KEY key);
    void RemoveAll();

    // Null when the map is empty.
    POSITION GetStartPosition() const { return m_nCount == 0 ? nullptr : BeforeStart(); }
    // Reads the entry at position and moves position to the next one, or to null after the last.
    void GetNextAssoc(POSITION& position, KEY& key, VALUE& value) const;

private:
    struct CAssoc {
        CAssoc(ARG_KEY k, UINT hash) : key(k), value(), nHashValue(hash) {}
        CAssoc* pNext = nullptr;
        KEY key;
        VALUE value;
        UINT nHashValue;
    };
    // Room for one entry; a free one links the free list. The first slot of each block links the
    // blocks instead.
    union Slot {
        Slot* next;
        alignas(CAssoc) unsigned char storage[sizeof(CAssoc)];
    };

    static POSITION BeforeStart() { return reinterpret_cast<POSITION>(static_cast<INT_PTR>(-1)); }
    CAssoc* Find(ARG_KEY key, UINT hash) const;
    CAssoc* NewAssoc(ARG_KEY key, UINT hash);
    void FreeAssoc(CAssoc* assoc);

    CAssoc** m_pHashTable = nullptr;
    UINT m_nHashTableSize = 17;
    INT_PTR m_nCount = 0;
    Slot* m_pFreeList = nullptr;
    Slot* m_pBlocks = nullptr;
    INT_PTR m_nBlockSize;
};

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
typename CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::CAssoc* CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::Find(ARG_KEY key,
                                                                                                  UINT hash) const
{
    if (!m_pHashTable) return nullptr;
    for (CAssoc* assoc = m_pHashTable[hash % m_nHashTableSize]; assoc; assoc = assoc->pNext) {
        if (assoc->nHashValue == hash && assoc->key == key) return assoc;
    }
    return nullptr;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
BOOL CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::Lookup(ARG_KEY key, VALUE& value) const
{
    CAssoc* assoc = Find(key, HashKey<ARG_KEY>(key));
    if (!assoc) return FALSE;
    value = assoc->value;
    return TRUE;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
VALUE& CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::operator[](ARG_KEY key)
{
    UINT hash = HashKey<ARG_KEY>(key);
    if (CAssoc* assoc = Find(key, hash)) return assoc->value;
    if (!m_pHashTable) {
        m_pHashTable = new (std::nothrow) CAssoc*[m_nHashTableSize]();
        if (!m_pHashTable) AfxThrowMemoryException();
    }
    CAssoc* assoc = NewAssoc(key, hash);
    CAssoc*& bucket = m_pHashTable[hash % m_nHashTableSize];
    assoc->pNext = bucket;
    bucket = assoc;
    return assoc->value;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
BOOL CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::RemoveKey(ARG_KEY key)
{
    if (!m_pHashTable) return FALSE;
    UINT hash = HashKey<ARG_KEY>(key);
    for (CAssoc** link = &m_pHashTable[hash % m_nHashTableSize]; *link; link = &(*link)->pNext) {
        CAssoc* assoc = *link;
        if (assoc->nHashValue == hash && assoc->key == key) {
            *link = assoc->pNext;
            FreeAssoc(assoc);
            return TRUE;
        }
    }
    return FALSE;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::RemoveAll()
{
    if (m_pHashTable) {
        for (UINT bucket = 0; bucket < m_nHashTableSize; ++bucket) {
            for (CAssoc* assoc = m_pHashTable[bucket]; assoc;) {
                CAssoc* next = assoc->pNext;
                assoc->~CAssoc();
                assoc = next;
            }
        }
        delete[] m_pHashTable;
        m_pHashTable = nullptr;
    }
    while (m_pBlocks) {
        Slot* next = m_pBlocks->next;
        ::operator delete(m_pBlocks);
        m_pBlocks = next;
    }
    m_pFreeList = nullptr;
    m_nCount = 0;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::GetNextAssoc(POSITION& position, KEY& key, VALUE& value) const
{
    if (!position || !m_pHashTable) AfxThrowInvalidArgException();
    CAssoc* assoc = reinterpret_cast<CAssoc*>(position);
    if (position == BeforeStart()) {
        assoc = nullptr;
        for (UINT bucket = 0; bucket < m_nHashTableSize && !assoc; ++bucket) assoc = m_pHashTable[bucket];
        if (!assoc) AfxThrowInvalidArgException();
    }
    CAssoc* next = assoc->pNext;
    for (UINT bucket = assoc->nHashValue % m_nHashTableSize + 1; !next && bucket < m_nHashTableSize; ++bucket) {
        next = m_pHashTable[bucket];
    }
    position = reinterpret_cast<POSITION>(next);
    key = assoc->key;
    value = assoc->value;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
typename CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::CAssoc* CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::NewAssoc(ARG_KEY key,
                                                                                                      UINT hash)
{
    if (!m_pFreeList) {
        if (static_cast<size_t>(m_nBlockSize) >= PTRDIFF_MAX / sizeof(Slot)) AfxThrowMemoryException();
        size_t size = sizeof(Slot) * static_cast<size_t>(m_nBlockSize + 1);
        Slot* block = static_cast<Slot*>(::operator new(size, std::nothrow));
        if (!block) AfxThrowMemoryException();
        block[0].next = m_pBlocks;
        m_pBlocks = block;
        for (INT_PTR i = m_nBlockSize; i >= 1; --i) {
            block[i].next = m_pFreeList;
            m_pFreeList = &block[i];
        }
    }
    Slot* slot = m_pFreeList;
    Slot* nextFree = slot->next;
    CAssoc* assoc = new (slot->storage) CAssoc(key, hash);
    m_pFreeList = nextFree;
    ++m_nCount;
    return assoc;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::FreeAssoc(CAssoc* assoc)
{
    assoc->~CAssoc();
    Slot* slot = reinterpret_cast<Slot*>(assoc);
    slot->next = m_pFreeList;
    m_pFreeList = slot;
    // The last entry gone, the blocks go too.
    if (--m_nCount == 0) RemoveAll();
}
