#include "core/Object.h"

#include <typeinfo>

namespace System {

Object::~Object() = default;

bool Object::Equals(const Object* other) const { return other == this; }

int64_t Object::GetHashCode() const { return static_cast<int64_t>(reinterpret_cast<intptr_t>(this)); }

String Object::ToString() const
{
    const char* name = typeid(*this).name();
    return String::FromUtf8(name, static_cast<int>(std::char_traits<char>::length(name)));
}

}  // namespace System
