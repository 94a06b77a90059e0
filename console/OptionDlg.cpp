#include "console/OptionDlg.h"

#include <memory>

#include "console/res/resource.h"
#include "core/BinaryReader.h"
#include "core/BinaryWriter.h"
#include "core/FileStream.h"
#include "core/WholeFile.h"

using System::IO::BinaryReader;
using System::IO::BinaryWriter;
using System::IO::FileAccess;
using System::IO::FileMode;
using System::IO::FileStream;

namespace {

// The file may be deleted while it is open; nobody else reads or writes it meanwhile.
constexpr int kShareDelete = 4;

}  // namespace

COptionDlg::COptionDlg(CWnd* parent) : CDialog(IDD_OPTION, parent) {}

bool COptionDlg::ReadSmoothSwitch(const System::String& path)
{
    FileStream file(path, FileMode::OpenOrCreate, FileAccess::Read, kShareDelete, 4096);
    if (file.GetLength() == 0) return true;
    BinaryReader reader(&file);
    return reader.ReadInt32() != 0;
}

void COptionDlg::WriteSmoothSwitch(const System::String& path, bool smooth)
{
    System::IO::WriteFileWhole(path, [&](System::IO::Stream& file) {
        BinaryWriter writer(&file);
        writer.WriteInt32(smooth ? 1 : 0);
        writer.Flush();
    });
}

void COptionDlg::DoDataExchange(CDataExchange* exchange)
{
    CDialog::DoDataExchange(exchange);
    DDX_Check(exchange, IDC_SMOOTH_SWITCH, m_smoothSwitch);
}
