#pragma once

#include <windows.h>

#include "framework/FrameworkApi.h"

// Base of the framework's objects that are handed around and deleted through base pointers, possibly
// by another module than the one that created them. Objects are not copied: each has one owner.
class VTFRAMEWORK_API CObject {
public:
    virtual ~CObject();
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;

protected:
    CObject() = default;
};

// An opaque place in a collection, used to walk it.
struct PositionTag;
using POSITION = PositionTag*;
