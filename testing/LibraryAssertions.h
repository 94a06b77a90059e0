#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>

#include "core/Exception.h"

namespace TestSupport {

// Expects work to throw a library exception object of kind Kind (or derived from it), deletes
// it, and returns its text for further checks.
template <class Kind, class Work>
System::String ExpectThrows(Work&& work)
{
    try {
        work();
    } catch (System::Exception* caught) {
        std::unique_ptr<System::Exception> exception(caught);
        EXPECT_NE(dynamic_cast<Kind*>(caught), nullptr)
            << "expected " << typeid(Kind).name() << ", got " << exception->ToString().ToUtf8();
        return exception->ToString();
    }
    ADD_FAILURE() << "expected " << typeid(Kind).name() << ", nothing was thrown";
    return System::String();
}

}  // namespace TestSupport
