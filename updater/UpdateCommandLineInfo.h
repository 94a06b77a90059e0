#pragma once

#include "framework/CCommandLineInfo.h"
#include "framework/CString.h"

// The updater's four positional values: command, manifest address, target directory and the
// program to start after an update. Parameters beyond the fourth are ignored.
class CUpdateCommandLineInfo : public CCommandLineInfo {
public:
    void ParseParam(const wchar_t* param, BOOL flag, BOOL last) override;

    const CString& GetCommand() const { return m_values[0]; }
    const CString& GetUrl() const { return m_values[1]; }
    const CString& GetDirectory() const { return m_values[2]; }
    const CString& GetProgram() const { return m_values[3]; }

private:
    CString m_values[4];
    int m_count = 0;
};
