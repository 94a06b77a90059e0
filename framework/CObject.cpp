#include "framework/CObject.h"

// Defined here so that the class's type information and virtual table live in the framework.
CObject::~CObject() = default;
