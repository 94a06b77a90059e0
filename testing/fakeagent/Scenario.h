#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace FakeAgent {

// What the fake update agent answers, read from a scenario file: "key=value" lines (UTF-8), "#"
// comments, and a "[update]" line before the fields of each update the search finds. Result fields
// take the agent's operation result codes (2 succeeded, 3 with errors, 4 failed, 5 aborted); begin
// fields take an HRESULT (hexadecimal with 0x) that makes the operation refuse to start.
struct ScenarioUpdate {
    std::wstring title;
    std::wstring id;
    std::wstring description;
    std::wstring eula;
    std::wstring supportUrl;
    std::vector<std::wstring> articles;
    long long size = 0;
    bool mandatory = false;
    bool autoSelect = false;
    bool downloaded = false;
    bool userInput = false;
    int impact = 0;
    int rebootBehavior = 0;
    int type = 1;
    int downloadResult = 2;
    int installResult = 2;
    bool rebootRequired = false;
};

struct Scenario {
    // Empty: the agent cannot tell its version.
    std::wstring version = L"7.6.7600.256";
    bool rebootPending = false;
    // Milliseconds until a search completes; -1 holds it until it is aborted.
    int searchDelay = 50;
    HRESULT searchBegin = S_OK;
    int searchResult = 2;
    // Progress notices per update, and the pause before each.
    int steps = 4;
    int stepDelay = 20;
    HRESULT downloadBegin = S_OK;
    HRESULT installBegin = S_OK;
    bool installerBusy = false;
    bool rebootBeforeInstall = false;
    std::vector<ScenarioUpdate> updates;

    // Reads the file; a missing or unreadable file gives the defaults, with no update.
    static std::shared_ptr<const Scenario> Load(const std::wstring& path);
    static std::shared_ptr<const Scenario> Parse(const std::string& text);
    // The file named by the environment variable VELA_FAKE_AGENT_SCENARIO.
    static std::shared_ptr<const Scenario> LoadCurrent();
};

}  // namespace FakeAgent
