#pragma once

#include <objidl.h>

#include <functional>

#include "core/Array.h"
#include "core/String.h"
#include "startup/NetMemoryStream.h"

// Fetches the program information document (cached in a frame of Int32 length and the body)
// and fills the program information table from it.
class ProgramInfoLoader {
public:
    // Shows the failure to download; the default is a message box without owner.
    using FailureNotice = std::function<void(const System::String& text, const System::String& caption)>;

    static const wchar_t* const FailureText;
    static const wchar_t* const FailureCaption;

    // An empty notice restores the message box. Returns the one it replaces.
    static FailureNotice SetFailureNotice(FailureNotice notice);

    // The information server's address from the deployment settings, with "/net/getAutoruns.aspx".
    static System::String GetDefaultUrl();
    // "vasui.xml" in the suite's data folder.
    static System::String GetDefaultCachePath();

    // Produces a stream over the cached bytes or, when nothing is cached, over the downloaded
    // ones, which are cached. A failure is traced and shown once through the failure notice.
    // Returns 0 with *stream set (the caller releases it), or 1 with *stream null.
    static int Fetch(const System::String& url, const System::String& cachePath, NetMemoryStream** stream);
    // Writes the frame (Int32 length and the body) whole beside cachePath, then puts it in its place,
    // so an interrupted write leaves the previous cache.
    static void WriteCache(const System::String& cachePath, const System::Array<uint8_t>& bytes);
    // The cached body; empty for an empty file. A frame whose length is negative or longer than
    // the file raises FormatException without allocating it.
    static System::Array<uint8_t> ReadCache(const System::String& cachePath);
    // Adds one StartupEntryInfo per "item" of the document to the program information table;
    // a malformed document stops at the error, keeping the items before it. Returns the number
    // of items added.
    static int Parse(IStream* stream);
    // Fetch, then Parse. Returns the number of items added.
    static int Load(const System::String& url = GetDefaultUrl(), const System::String& cachePath = GetDefaultCachePath());
};
