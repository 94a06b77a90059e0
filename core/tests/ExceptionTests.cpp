#include <windows.h>

#include <gtest/gtest.h>

#include "core/Exception.h"
#include "core/ExceptionGuard.h"
#include "core/Trace.h"
#include "core/Win32Exception.h"
#include "testing/LibraryAssertions.h"

extern "C" __declspec(dllimport) void ProbeThrowKeyNotFound();
extern "C" __declspec(dllimport) int ProbeCatchLibraryException();

namespace {

using namespace System;
using TestSupport::ExpectThrows;

TEST(ExceptionTest, LibraryExceptionIsCaughtByItsExactKindInAnotherModule)
{
    bool caught = false;
    try {
        String(L"abc").Substring(-1);
    } catch (ArgumentOutOfRangeException* exception) {
        caught = true;
        delete exception;
    }
    EXPECT_TRUE(caught);
    EXPECT_EQ(ProbeCatchLibraryException(), 1);
}

TEST(ExceptionTest, ExceptionFromThirdModuleIsCaughtByBaseAndKind)
{
    try {
        ProbeThrowKeyNotFound();
        FAIL() << "nothing was thrown";
    } catch (SystemException* exception) {
        ExceptionHolder holder(exception);
        EXPECT_NE(dynamic_cast<KeyNotFoundException*>(exception), nullptr);
        EXPECT_EQ(exception->GetMessage(), String(L"thrown by the probe module"));
    }
}

TEST(ExceptionTest, ToStringNamesKindMessageAndInnerException)
{
    Exception* inner = new ArgumentNullException(L"값이 없습니다");
    InvalidOperationException outer(L"작업 실패", inner);
    EXPECT_EQ(outer.ToString(), String(L"System.InvalidOperationException: 작업 실패 ---> "
                                       L"System.ArgumentNullException: 값이 없습니다"));
    EXPECT_EQ(ApplicationException().ToString(), String(L"System.ApplicationException"));
    EXPECT_EQ(COMException(L"failed", static_cast<int32_t>(0x80004005)).GetErrorCode(),
              static_cast<int32_t>(0x80004005));
}

TEST(ExceptionTest, ThrowCodesRaiseTheirKinds)
{
    ExpectThrows<ArgumentOutOfRangeException>([] { _Throw(ThrowIndexOutOfRange); });
    ExpectThrows<ArgumentNullException>([] { _Throw(ThrowArgumentNull); });
    ExpectThrows<KeyNotFoundException>([] { _Throw(ThrowKeyNotFound); });
    ExpectThrows<InvalidOperationException>([] { _Throw(ThrowEnumerationNotPositioned); });
    ExpectThrows<NotSupportedException>([] { _Throw(ThrowNotSupported); });
    ExpectThrows<SystemException>([] { _Throw(12345); });
}

TEST(ExceptionTest, Win32ExceptionCarriesCodeAndSystemText)
{
    Microsoft::Win32::Win32Exception exception(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(exception.GetNativeErrorCode(), static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(exception.GetMessage().IsEmpty());
    String text = ExpectThrows<Microsoft::Win32::Win32Exception>(
        [] { Microsoft::Win32::Win32Exception::Throw(ERROR_ACCESS_DENIED, L"Opening C:\\x"); });
    EXPECT_TRUE(text.Contains(L"Opening C:\\x: ")) << text.ToUtf8();
}

class CollectingListener : public Diagnostics::TraceListener {
public:
    explicit CollectingListener(std::vector<String>* lines) : lines_(lines) {}
    void WriteLine(const String& message) override { lines_->push_back(message); }

private:
    std::vector<String>* lines_;
};

TEST(ExceptionTest, GuardTracesAndDeletesTheException)
{
    std::vector<String> lines;
    auto* listener = new CollectingListener(&lines);
    Diagnostics::Trace::Listeners()->Add(listener);
    bool completed = TraceExceptions([] { throw new ArgumentException(L"bad path"); });
    bool completedQuietly = TraceExceptions([] {});
    Diagnostics::Trace::Listeners()->Remove(listener);
    EXPECT_FALSE(completed);
    EXPECT_TRUE(completedQuietly);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], String(L"System.ArgumentException: bad path"));
}

}  // namespace
