#pragma once

#include <string>

namespace TestSupport {

// The fake update agent (fakeupdateagent.dll beside the test program) for the test's life: it is
// registered under the agent's class ids of the machine, which only the throw-away test prefix
// allows, and answers from a scenario file written into a temporary folder.
class FakeUpdateAgent {
public:
    // Why the agent cannot be used here (not the test prefix, DLL missing, registration refused);
    // empty when it is ready.
    static std::wstring Register();

    // Writes the scenario (see testing/fakeagent/Scenario.h) and points the agent at it.
    explicit FakeUpdateAgent(const std::string& scenario);
    ~FakeUpdateAgent();
    FakeUpdateAgent(const FakeUpdateAgent&) = delete;
    FakeUpdateAgent& operator=(const FakeUpdateAgent&) = delete;

    // How many of the agent's objects are alive in this process; -1 when the DLL is not loaded.
    static long LiveObjects();

private:
    std::wstring path_;
};

}  // namespace TestSupport
