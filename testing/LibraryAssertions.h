#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>

#include "core/Exception.h"
#include "core/Win32Exception.h"

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

// Expects a Win32Exception whose message names path; returns its OS error code.
template <class Work>
uint32_t ExpectWin32Error(const System::String& path, Work&& work)
{
    try {
        work();
    } catch (System::Exception* caught) {
        std::unique_ptr<System::Exception> exception(caught);
        auto* win32 = dynamic_cast<Microsoft::Win32::Win32Exception*>(caught);
        EXPECT_NE(win32, nullptr) << caught->ToString().ToUtf8();
        EXPECT_TRUE(caught->GetMessage().Contains(path)) << caught->ToString().ToUtf8();
        return win32 ? win32->GetNativeErrorCode() : 0;
    }
    ADD_FAILURE() << "expected a Win32Exception, nothing was thrown";
    return 0;
}

}  // namespace TestSupport
