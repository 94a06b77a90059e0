#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "framework/CException.h"
#include "framework/CFile.h"
#include "framework/CString.h"
#include "testing/TempFolder.h"

// Shows texts in failure messages.
void PrintTo(const CString& text, std::ostream* out) { *out << ::testing::PrintToString(std::wstring(text.GetString())); }

namespace {

using TestSupport::TempFolder;

struct FileFailure {
    int cause = CFileException::none;
    LONG osError = -1;
    CString fileName;
};

// Runs work, expecting a CFileException; returns what it carried and deletes it.
template <class Work>
FileFailure Failure(Work&& work)
{
    FileFailure result;
    try {
        work();
        ADD_FAILURE() << "nothing was thrown";
    } catch (CException* caught) {
        if (auto* file = dynamic_cast<CFileException*>(caught)) {
            result.cause = file->m_cause;
            result.osError = file->m_lOsError;
            result.fileName = file->m_strFileName;
        } else {
            ADD_FAILURE() << "not a file exception";
        }
        caught->Delete();
    }
    return result;
}

TEST(CFileOpen, ReportsEachCauseWithTheOsErrorAndName)
{
    TempFolder folder;
    std::wstring missing = folder / L"missing.xml";
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(missing.c_str(), CFile::modeRead | CFile::shareDenyWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_lOsError, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(error.m_strFileName, missing.c_str());
    EXPECT_EQ(file.m_hFile, CFile::hFileNull);

    std::wstring noFolder = folder / L"no\\such\\a.dll";
    EXPECT_FALSE(file.Open(noFolder.c_str(), CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::badPath);
    EXPECT_EQ(error.m_lOsError, ERROR_PATH_NOT_FOUND);

    EXPECT_FALSE(file.Open(L"", CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::badPath);
    EXPECT_FALSE(file.Open(missing.c_str(), CFile::modeRead));
}

TEST(CFileOpen, ReportsSharingViolationAndAccessDenied)
{
    TempFolder folder;
    std::wstring path = folder.WriteFile(L"locked.dat", "data");
    CFile holder(path.c_str(), CFile::modeReadWrite | CFile::shareExclusive);
    CFile second;
    CFileException error;
    EXPECT_FALSE(second.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone, &error));
    EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    EXPECT_EQ(error.m_lOsError, ERROR_SHARING_VIOLATION);
    holder.Close();

    EXPECT_TRUE(second.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite));
    second.Close();

    // A folder cannot be opened as a file.
    EXPECT_FALSE(second.Open(folder.Path().c_str(), CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);
    EXPECT_EQ(error.m_lOsError, ERROR_ACCESS_DENIED);
}

TEST(CFileOpen, ConstructorThrowsTheFileException)
{
    TempFolder folder;
    std::wstring missing = folder / L"update.xml";
    FileFailure failure = Failure([&] { CFile file(missing.c_str(), CFile::modeRead | CFile::typeBinary); });
    EXPECT_EQ(failure.cause, CFileException::fileNotFound);
    EXPECT_EQ(failure.osError, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(failure.fileName, missing.c_str());
}

TEST(CFileOpen, CreateTruncatesUnlessAskedNotTo)
{
    TempFolder folder;
    std::wstring path = folder.WriteFile(L"settings.cfg", "0123456789");
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
        EXPECT_EQ(file.GetLength(), 10u);
    }
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        EXPECT_EQ(file.GetLength(), 0u);
    }
    std::wstring fresh = folder / L"fresh.cfg";
    CFile file(fresh.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite);
    EXPECT_EQ(file.GetLength(), 0u);
    EXPECT_EQ(GetFileAttributesW(fresh.c_str()) != INVALID_FILE_ATTRIBUTES, true);
}

TEST(CFileIo, WritesReadsAndSeeksRoundTrip)
{
    TempFolder folder;
    std::wstring path = folder / L"round.bin";
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeReadWrite | CFile::shareDenyWrite);
    EXPECT_EQ(file.GetFilePath(), path.c_str());

    std::string block(20000, '\0');
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 7);
    file.Write(block.data(), static_cast<UINT>(block.size()));
    file.Write("tail", 4);
    file.Write(nullptr, 0);
    EXPECT_EQ(file.GetLength(), 20004u);
    EXPECT_EQ(file.GetPosition(), 20004u);

    file.SeekToBegin();
    std::string readBack(20004, '\0');
    EXPECT_EQ(file.Read(&readBack[0], 20004), 20004u);
    EXPECT_EQ(readBack.substr(0, 20000), block);
    EXPECT_EQ(readBack.substr(20000), "tail");
    char extra[8];
    EXPECT_EQ(file.Read(extra, sizeof extra), 0u);

    EXPECT_EQ(file.Seek(-4, CFile::end), 20000u);
    EXPECT_EQ(file.Read(extra, sizeof extra), 4u);
    EXPECT_EQ(std::string(extra, 4), "tail");
    EXPECT_EQ(file.Seek(10, CFile::begin), 10u);
    EXPECT_EQ(file.Seek(5, CFile::current), 15u);
    EXPECT_EQ(file.SeekToEnd(), 20004u);

    file.SetLength(100);
    EXPECT_EQ(file.GetLength(), 100u);
    EXPECT_EQ(file.GetPosition(), 100u);
    file.Flush();
    file.Close();
    EXPECT_EQ(file.m_hFile, CFile::hFileNull);
    EXPECT_TRUE(file.GetFilePath().IsEmpty());
    EXPECT_EQ(folder.ReadFile(L"round.bin"), block.substr(0, 100));
}

TEST(CFileIo, FailuresRaiseFileExceptions)
{
    TempFolder folder;
    std::wstring path = folder.WriteFile(L"small.bin", "abc");
    CFile file(path.c_str(), CFile::modeRead);

    FileFailure negative = Failure([&] { file.Seek(-1, CFile::begin); });
    EXPECT_EQ(negative.cause, CFileException::badSeek);
    EXPECT_EQ(negative.osError, ERROR_NEGATIVE_SEEK);
    EXPECT_EQ(negative.fileName, path.c_str());

    FileFailure readOnly = Failure([&] { file.Write("x", 1); });
    EXPECT_EQ(readOnly.cause, CFileException::accessDenied);
    EXPECT_EQ(readOnly.osError, ERROR_ACCESS_DENIED);

    file.Close();
    char buffer[4];
    FileFailure closed = Failure([&] { file.Read(buffer, sizeof buffer); });
    EXPECT_EQ(closed.cause, CFileException::invalidFile);
    EXPECT_EQ(Failure([&] { file.GetLength(); }).cause, CFileException::invalidFile);
    file.Close();
    file.Flush();
}

TEST(CFileIo, ReopeningClosesTheFirstFile)
{
    TempFolder folder;
    std::wstring first = folder.WriteFile(L"first.txt", "1");
    std::wstring second = folder.WriteFile(L"second.txt", "2");
    CFile file(first.c_str(), CFile::modeRead);
    ASSERT_TRUE(file.Open(second.c_str(), CFile::modeRead));
    char text = 0;
    EXPECT_EQ(file.Read(&text, 1), 1u);
    EXPECT_EQ(text, '2');
    // The first file is no longer held open.
    CFile exclusive(first.c_str(), CFile::modeReadWrite | CFile::shareExclusive);
}

TEST(CFileStatic, RemovesAndRenamesOrThrows)
{
    TempFolder folder;
    std::wstring path = folder.WriteFile(L"old.dll", "x");
    std::wstring renamed = folder / L"new.dll";
    CFile::Rename(path.c_str(), renamed.c_str());
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(folder.ReadFile(L"new.dll"), "x");

    FileFailure renameFailure = Failure([&] { CFile::Rename(path.c_str(), renamed.c_str()); });
    EXPECT_EQ(renameFailure.cause, CFileException::fileNotFound);
    EXPECT_EQ(renameFailure.fileName, path.c_str());

    CFile::Remove(renamed.c_str());
    EXPECT_EQ(GetFileAttributesW(renamed.c_str()), INVALID_FILE_ATTRIBUTES);
    FileFailure removeFailure = Failure([&] { CFile::Remove(renamed.c_str()); });
    EXPECT_EQ(removeFailure.cause, CFileException::fileNotFound);
    EXPECT_EQ(removeFailure.osError, ERROR_FILE_NOT_FOUND);
}

TEST(CFileExceptionTest, MapsOsErrorsAsTheClassicLibraryDoes)
{
    EXPECT_EQ(CFileException::OsErrorToException(ERROR_FILE_NOT_FOUND), CFileException::fileNotFound);
    EXPECT_EQ(CFileException::OsErrorToException(ERROR_PATH_NOT_FOUND), CFileException::badPath);
    EXPECT_EQ(CFileException::OsErrorToException(ERROR_ACCESS_DENIED), CFileException::accessDenied);
    EXPECT_EQ(CFileException::OsErrorToException(ERROR_SHARING_VIOLATION), CFileException::sharingViolation);
    EXPECT_EQ(CFileException::OsErrorToException(ERROR_LOCK_VIOLATION), CFileException::lockViolation);
    EXPECT_EQ(CFileException::OsErrorToException(ERROR_DISK_FULL), CFileException::diskFull);
    EXPECT_EQ(CFileException::OsErrorToException(ERROR_HANDLE_DISK_FULL), CFileException::diskFull);
    EXPECT_EQ(CFileException::OsErrorToException(ERROR_TOO_MANY_OPEN_FILES), CFileException::tooManyOpenFiles);
    EXPECT_EQ(CFileException::OsErrorToException(ERROR_INVALID_NAME), CFileException::badPath);
    EXPECT_EQ(CFileException::OsErrorToException(ERROR_HANDLE_EOF), CFileException::endOfFile);
    EXPECT_EQ(CFileException::OsErrorToException(ERROR_DIR_NOT_EMPTY), CFileException::removeCurrentDir);
    EXPECT_EQ(CFileException::OsErrorToException(ERROR_NOT_READY), CFileException::hardIO);
    EXPECT_EQ(CFileException::OsErrorToException(ERROR_INVALID_PARAMETER), CFileException::genericException);
}

TEST(CFileExceptionTest, ThrowOsErrorNeverReportsAFailureAsSuccess)
{
    FileFailure failure = Failure([] { CFileException::ThrowOsError(0, L"x.dll"); });
    EXPECT_EQ(failure.cause, CFileException::genericException);
    EXPECT_EQ(failure.fileName, L"x.dll");
}

TEST(CExceptionTest, HeapExceptionsAreCaughtAsTheBaseAndDeleted)
{
    try {
        AfxThrowUserException();
    } catch (CException* caught) {
        EXPECT_NE(dynamic_cast<CUserException*>(caught), nullptr);
        wchar_t message[16] = L"untouched";
        EXPECT_FALSE(caught->GetErrorMessage(message, 16));
        EXPECT_STREQ(message, L"");
        caught->Delete();
    }
    try {
        AfxThrowFileException(CFileException::diskFull, ERROR_DISK_FULL, L"C:\\벨라\\a.dll");
    } catch (CException* caught) {
        wchar_t message[256] = {};
        UINT help = 99;
        EXPECT_TRUE(caught->GetErrorMessage(message, 256, &help));
        EXPECT_EQ(help, 0u);
        EXPECT_NE(wcsstr(message, L"C:\\벨라\\a.dll"), nullptr);
        wchar_t truncated[6] = {};
        EXPECT_TRUE(caught->GetErrorMessage(truncated, 6));
        EXPECT_EQ(wcslen(truncated), 5u);
        caught->Delete();
    }
}

TEST(CExceptionTest, MemoryExceptionIsOneSharedObjectThatDeleteKeeps)
{
    CException* first = nullptr;
    try {
        AfxThrowMemoryException();
    } catch (CException* caught) {
        first = caught;
        EXPECT_NE(dynamic_cast<CMemoryException*>(caught), nullptr);
        caught->Delete();
    }
    try {
        AfxThrowMemoryException();
    } catch (CException* caught) {
        EXPECT_EQ(caught, first);
        wchar_t message[64] = {};
        EXPECT_TRUE(caught->GetErrorMessage(message, 64));
        caught->Delete();
    }
}

}  // namespace
