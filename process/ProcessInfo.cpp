#include "process/ProcessInfo.h"

using System::String;

ProcessInfo::ProcessInfo(uint32_t processId, const String& imageName, const String& description, const String& user,
                         int cpu, uint64_t memory, const String& path)
    : processId_(processId),
      path_(path),
      description_(description),
      imageName_(imageName),
      ratingText_(L"정보가 없습니다"),
      user_(user),
      cpu_(cpu),
      memory_(memory)
{
}

void ProcessInfo::SetCpu(int cpu)
{
    if (cpu == cpu_) return;
    cpu_ = cpu;
    changed_ = true;
}

void ProcessInfo::SetMemory(uint64_t memory)
{
    if (memory == memory_) return;
    memory_ = memory;
    changed_ = true;
}

void ProcessInfo::CopyFrom(const ProcessInfo& other)
{
    processId_ = other.processId_;
    path_ = other.path_;
    description_ = other.description_;
    imageName_ = other.imageName_;
    rating_ = other.rating_;
    ratingText_ = other.ratingText_;
    user_ = other.user_;
    cpu_ = other.cpu_;
}

bool ProcessInfo::IsSystemAccount() const
{
    return user_ == L"SYSTEM" || user_ == L"LOCAL SERVICE" || user_ == L"NETWORK SERVICE";
}

String ProcessInfo::GetRatingText(int rating)
{
    switch (rating) {
    case 0: return L"일반";
    case 1: return L"안전";
    case 2: return L"필수";
    case -1: return L"위험";
    case -2: return L"매우위험";
    default: return L"지정되지 않음";
    }
}
