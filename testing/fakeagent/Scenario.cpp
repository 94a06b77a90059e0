#include "testing/fakeagent/Scenario.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace FakeAgent {

namespace {

std::wstring Wide(const std::string& text)
{
    if (text.empty()) return std::wstring();
    int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string Trim(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

long long Number(const std::string& text) { return std::strtoll(text.c_str(), nullptr, 0); }

// "\n" in a value stands for a line break, so a EULA can span lines.
std::wstring Text(const std::string& value)
{
    std::wstring text = Wide(value);
    for (size_t at = text.find(L"\\n"); at != std::wstring::npos; at = text.find(L"\\n", at + 2)) text.replace(at, 2, L"\r\n");
    return text;
}

void SetUpdateField(ScenarioUpdate& update, const std::string& key, const std::string& value)
{
    if (key == "title") update.title = Text(value);
    else if (key == "id") update.id = Text(value);
    else if (key == "description") update.description = Text(value);
    else if (key == "eula") update.eula = Text(value);
    else if (key == "supportUrl") update.supportUrl = Text(value);
    else if (key == "kb") update.articles.push_back(Text(value));
    else if (key == "size") update.size = Number(value);
    else if (key == "mandatory") update.mandatory = Number(value) != 0;
    else if (key == "autoSelect") update.autoSelect = Number(value) != 0;
    else if (key == "downloaded") update.downloaded = Number(value) != 0;
    else if (key == "userInput") update.userInput = Number(value) != 0;
    else if (key == "impact") update.impact = static_cast<int>(Number(value));
    else if (key == "rebootBehavior") update.rebootBehavior = static_cast<int>(Number(value));
    else if (key == "type") update.type = static_cast<int>(Number(value));
    else if (key == "download") update.downloadResult = static_cast<int>(Number(value));
    else if (key == "install") update.installResult = static_cast<int>(Number(value));
    else if (key == "rebootRequired") update.rebootRequired = Number(value) != 0;
}

void SetField(Scenario& scenario, const std::string& key, const std::string& value)
{
    if (key == "version") scenario.version = Text(value);
    else if (key == "rebootPending") scenario.rebootPending = Number(value) != 0;
    else if (key == "searchDelay") scenario.searchDelay = static_cast<int>(Number(value));
    else if (key == "searchBegin") scenario.searchBegin = static_cast<HRESULT>(Number(value));
    else if (key == "searchResult") scenario.searchResult = static_cast<int>(Number(value));
    else if (key == "steps") scenario.steps = static_cast<int>(Number(value));
    else if (key == "stepDelay") scenario.stepDelay = static_cast<int>(Number(value));
    else if (key == "downloadBegin") scenario.downloadBegin = static_cast<HRESULT>(Number(value));
    else if (key == "installBegin") scenario.installBegin = static_cast<HRESULT>(Number(value));
    else if (key == "installerBusy") scenario.installerBusy = Number(value) != 0;
    else if (key == "rebootBeforeInstall") scenario.rebootBeforeInstall = Number(value) != 0;
}

}  // namespace

std::shared_ptr<const Scenario> Scenario::Parse(const std::string& text)
{
    auto scenario = std::make_shared<Scenario>();
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == '#') continue;
        if (line == "[update]") {
            scenario->updates.emplace_back();
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        std::string key = Trim(line.substr(0, equals));
        std::string value = Trim(line.substr(equals + 1));
        if (scenario->updates.empty()) SetField(*scenario, key, value);
        else SetUpdateField(scenario->updates.back(), key, value);
    }
    if (scenario->steps < 1) scenario->steps = 1;
    return scenario;
}

std::shared_ptr<const Scenario> Scenario::Load(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::make_shared<Scenario>();
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    CloseHandle(file);
    return Parse(text);
}

std::shared_ptr<const Scenario> Scenario::LoadCurrent()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"VELA_FAKE_AGENT_SCENARIO", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::make_shared<Scenario>();
    return Load(path);
}

}  // namespace FakeAgent
