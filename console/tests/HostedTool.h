#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "console/AddonManager.h"
#include "console/OptionDlg.h"
#include "console/res/resource.h"
#include "console/tests/RecordingConsole.h"
#include "core/String.h"
#include "framework/CDHtmlDialog.h"
#include "testing/HostPath.h"
#include "testing/MessagePump.h"
#include "testing/PageClick.h"
#include "testing/TempFolder.h"

// One add-on as the user meets it: the console shown with a catalogue of that tool alone, in a
// scratch home folder with the switch animation off, and the tool opened over it. Header only, like
// RecordingConsole.h: each add-on's console test links the console window library itself.
class HostedTool {
public:
    struct Entry {
        const wchar_t* id;
        const wchar_t* name;
        const wchar_t* category;
        const wchar_t* module;  // file name in the program folder
    };

    explicit HostedTool(const Entry& entry) : id_(entry.id)
    {
        COptionDlg::WriteSmoothSwitch(ConfigPath().c_str(), false);
        std::wstring catalogue = std::wstring(L"<?xml version=\"1.0\" encoding=\"utf-8\"?><addons><item><id>") + entry.id +
                                 L"</id><name>" + entry.name + L"</name><category>" + entry.category +
                                 L"</category><description>" + entry.name +
                                 L"</description><imageFileName>icons\\tool.png</imageFileName><moduleFileName>" +
                                 TestSupport::ProgramFolder() + L"\\" + entry.module +
                                 L"</moduleFileName><external>0</external></item></addons>";
        home_.WriteFile(L"vtaddons3.xml", System::String(catalogue.c_str()).ToUtf8());
        addons_ = std::make_unique<AddonManager>(System::String(home_.Path().c_str()));
        console_ = std::make_unique<RecordingConsole>(*addons_, System::String(home_.Path().c_str()),
                                                      System::String(ConfigPath().c_str()));
    }
    ~HostedTool()
    {
        if (console_->m_hWnd) console_->DestroyWindow();
    }
    HostedTool(const HostedTool&) = delete;
    HostedTool& operator=(const HostedTool&) = delete;

    // Opens the tool as "vtcon.exe <id>" does when asked, else from the home page, and waits until
    // its page is loaded; a message box the console showed on the way fails the open.
    ::testing::AssertionResult Open(bool asStartId = false)
    {
        if (asStartId) console_->SetStartId(id_.c_str());
        if (!console_->Create(IDD_CONSOLE)) return ::testing::AssertionFailure() << "the console was not created";
        console_->ShowWindow(SW_SHOW);
        if (!TestSupport::PumpUntil([&] { return console_->IsPageFilled(); })) {
            return ::testing::AssertionFailure() << "the home page was not filled";
        }
        if (!asStartId) console_->OpenTool(id_.c_str());
        if (!TestSupport::PumpUntil([&] { return console_->IsToolShown() && !console_->IsBusy(); })) {
            return ::testing::AssertionFailure() << "the tool was not shown";
        }
        if (!console_->messages.empty()) {
            return ::testing::AssertionFailure() << System::String(console_->messages[0].GetString()).ToUtf8();
        }
        tool_ = dynamic_cast<CDHtmlDialog*>(console_->GetCurrentDialog());
        if (!tool_) return ::testing::AssertionFailure() << "the tool is not a page window";
        if (!TestSupport::PumpUntil([&] { return tool_->IsDocumentLoaded(); })) {
            return ::testing::AssertionFailure() << "the tool's page did not load";
        }
        return ::testing::AssertionSuccess();
    }

    RecordingConsole& Console() { return *console_; }
    CDHtmlDialog& Tool() { return *tool_; }

    // The console's maximise and restore buttons, waiting until the switch has ended.
    ::testing::AssertionResult Maximise() { return Settled([&] { console_->Maximise(); }); }
    ::testing::AssertionResult Restore() { return Settled([&] { console_->Restore(); }); }

    // Presses the tool's back arrow; the console is home again afterwards.
    ::testing::AssertionResult GoHome(const wchar_t* backArrow = L"BtnPrevious")
    {
        TestSupport::ClickElement(*tool_, backArrow);
        ::testing::AssertionResult settled = Settled([] {});
        if (!settled) return settled;
        if (console_->IsToolShown()) return ::testing::AssertionFailure() << "the tool is still shown";
        return ::testing::AssertionSuccess();
    }

private:
    std::wstring ConfigPath() const { return home_ / L"vacon.cfg"; }
    template <typename Action>
    ::testing::AssertionResult Settled(Action action)
    {
        action();
        if (TestSupport::PumpUntil([&] { return !console_->IsBusy(); })) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the console stayed busy";
    }

    // The pages' images are decoded through COM on the window thread.
    struct Apartment {
        bool entered = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        ~Apartment()
        {
            if (entered) CoUninitialize();
        }
    };

    Apartment apartment_;
    std::wstring id_;
    TestSupport::TempFolder home_;
    std::unique_ptr<AddonManager> addons_;
    std::unique_ptr<RecordingConsole> console_;
    CDHtmlDialog* tool_ = nullptr;
};

// The child's rectangle in the parent's client coordinates.
inline CRect PlaceIn(HWND parent, HWND child)
{
    RECT place;
    GetWindowRect(child, &place);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&place), 2);
    return CRect(place);
}

// The first descendant of the given window class, depth first; nullptr when there is none.
inline HWND FindDescendantOfClass(HWND parent, const wchar_t* className)
{
    struct Search {
        const wchar_t* className;
        HWND found;
    } search{className, nullptr};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM parameter) -> BOOL {
            auto* search = reinterpret_cast<Search*>(parameter);
            wchar_t name[64] = {};
            GetClassNameW(child, name, 64);
            if (lstrcmpiW(name, search->className) != 0) return TRUE;
            search->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
