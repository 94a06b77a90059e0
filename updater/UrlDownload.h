#pragma once

#include <windows.h>

#include "framework/CString.h"

// Downloads through the URL moniker. Both fail on an HTTP status of 400 or more, which the moniker
// itself reports as success, saving the error page.
HRESULT UrlDownloadToFile(const CString& url, const CString& path);
// The cached copy's path is returned in path.
HRESULT UrlDownloadToCacheFile(const CString& url, CString& path);
