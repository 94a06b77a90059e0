#include "startup/Category.h"

#include "startup/StartupTexts.h"

using System::String;

String Category::FormatCategoryColumn(const String& domain)
{
    return domain.Replace(L"Logon.", L"")
        .Replace(L"AllUser.", String(StartupTexts::AllUsers) + L"/")
        .Replace(L"CurrentUser.", String(StartupTexts::CurrentUser) + L"/")
        .Replace(L"Startup", StartupTexts::StartupFolder)
        .Replace(L"Registry.", String(StartupTexts::Registry) + L"/");
}

String Category::FormatCategoryCaption(const String& domain)
{
    return domain.Replace(L"Logon.", L"")
        .Replace(L"Logon", StartupTexts::Everything)
        .Replace(L"AllUser.", String(StartupTexts::AllUsers) + L"/")
        .Replace(L"AllUser", StartupTexts::AllUsers)
        .Replace(L"CurrentUser.", String(StartupTexts::CurrentUser) + L"/")
        .Replace(L"CurrentUser", StartupTexts::CurrentUser)
        .Replace(L"Startup", StartupTexts::StartupFolder)
        .Replace(L"Registry", StartupTexts::Registry);
}

String Category::FromTreePath(const System::Array<String>& texts)
{
    String path;
    for (int i = 0; i < texts.GetLength(); ++i) path += i == 0 ? texts[i] : L"." + texts[i];
    return path.Replace(StartupTexts::Everything, L"Logon")
        .Replace(StartupTexts::CurrentUser, L"CurrentUser")
        .Replace(StartupTexts::AllUsers, L"AllUser")
        .Replace(StartupTexts::StartupFolder, L"Startup")
        .Replace(StartupTexts::Registry, L"Registry");
}
