#pragma once

#include <windows.h>

#include "framework/CArray.h"
#include "framework/CString.h"

// One child of the manifest's objects or actions: its kind (the element's name) and attributes.
class CUpdateInfoElement {
public:
    explicit CUpdateInfoElement(const CString& kind) : m_kind(kind) {}

    const CString& GetKind() const { return m_kind; }
    // The attribute's value (exact, case-sensitive name), or an empty text when it is absent.
    CString GetAttribute(const CString& name) const;
    void SetAttribute(const CString& name, const CString& value) { m_attributes[name] = value; }

private:
    CString m_kind;
    CMap<CString, const CString&, CString, const CString&> m_attributes;
};

using CUpdateInfoElementArray = CTypedPtrArray<CPtrArray, CUpdateInfoElement*>;

// An update manifest read from a local file. Owns its elements.
class CUpdateInfo {
public:
    // Reads the manifest; raises CFileException when the file cannot be opened and CUserException
    // when the XML reader cannot be set up or fails inside a text or a list.
    explicit CUpdateInfo(const CString& path);
    ~CUpdateInfo();
    CUpdateInfo(const CUpdateInfo&) = delete;
    CUpdateInfo& operator=(const CUpdateInfo&) = delete;

    const CString& GetName() const { return m_name; }
    const CString& GetVersion() const { return m_version; }
    const CString& GetDescription() const { return m_description; }
    const CString& GetUrl() const { return m_url; }
    const CUpdateInfoElementArray& GetObjects() const { return m_objects; }
    const CUpdateInfoElementArray& GetActions() const { return m_actions; }

private:
    void Read(const CString& path);
    void Clear();

    CString m_name;
    CString m_version;
    CString m_description;
    CString m_url;
    CUpdateInfoElementArray m_objects;
    CUpdateInfoElementArray m_actions;
};
