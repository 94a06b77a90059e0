#pragma once

#include "core/Throw.h"

namespace System {

// Walks a collection the way the suite's callers expect: MoveNext before the first element,
// GetCurrent only while positioned on one, and a failure once the collection has changed.
template <class Iterator, class T>
class Enumerator {
public:
    Enumerator(Iterator begin, Iterator end, const unsigned* version)
        : begin_(begin), end_(end), current_(begin), version_(version), expectedVersion_(*version)
    {
    }

    bool MoveNext()
    {
        CheckVersion();
        if (!started_) {
            started_ = true;
            current_ = begin_;
        } else if (current_ != end_) {
            ++current_;
        }
        return current_ != end_;
    }

    const T& GetCurrent() const
    {
        CheckVersion();
        if (!started_ || current_ == end_) _Throw(ThrowEnumerationNotPositioned);
        return *current_;
    }

    void Reset()
    {
        CheckVersion();
        started_ = false;
    }

private:
    void CheckVersion() const
    {
        if (*version_ != expectedVersion_) _Throw(ThrowCollectionModified);
    }

    Iterator begin_;
    Iterator end_;
    Iterator current_;
    const unsigned* version_;
    unsigned expectedVersion_;
    bool started_ = false;
};

}  // namespace System
