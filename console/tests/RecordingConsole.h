#pragma once

#include <vector>

#include "console/ConsoleDlg.h"

// The console as the add-on tests host their tools in it: messages are kept for the test, answered
// No, and no address is opened.
class RecordingConsole : public ConsoleDlg {
public:
    using ConsoleDlg::ConsoleDlg;
    std::vector<CString> messages;

protected:
    int ShowMessage(const CString& text, UINT) override
    {
        messages.push_back(text);
        return IDNO;
    }
    void OpenAddress(const System::String&) override {}
};
