#include "updater/UpdateCommandLineInfo.h"

void CUpdateCommandLineInfo::ParseParam(const wchar_t* param, BOOL, BOOL)
{
    if (m_count < 4) m_values[m_count++] = param;
}
