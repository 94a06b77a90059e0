#pragma once

#include "core/String.h"
#include "framework/CDialog.h"

// The settings dialog of the console, and the one setting it edits: whether switching between the
// home page and a tool is animated. The setting lives in vacon.cfg as one little-endian 32-bit
// integer (non-zero: on).
class COptionDlg : public CDialog {
public:
    explicit COptionDlg(CWnd* parent = nullptr);

    // The setting in the file; a missing or empty file is created and reads as on. Raises the
    // library's exceptions when the file cannot be opened or read.
    static bool ReadSmoothSwitch(const System::String& path);
    // Writes the setting at the start of the file; raises when it cannot be written.
    static void WriteSmoothSwitch(const System::String& path, bool smooth);

    // The check box's state: non-zero for smooth switching.
    int m_smoothSwitch = 1;

protected:
    void DoDataExchange(CDataExchange* exchange) override;
};
