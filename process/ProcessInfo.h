#pragma once

#include <cstdint>

#include "core/Object.h"
#include "core/String.h"

// One running process as the process manager lists it. Path, description, image name and user are
// fixed when the entry is created; only cpu, memory and alive change later.
class ProcessInfo : public System::Object {
public:
    ProcessInfo(uint32_t processId, const System::String& imageName, const System::String& description,
                const System::String& user, int cpu, uint64_t memory, const System::String& path);

    uint32_t GetProcessId() const { return processId_; }
    const System::String& GetPath() const { return path_; }
    const System::String& GetDescription() const { return description_; }
    const System::String& GetImageName() const { return imageName_; }
    int GetRating() const { return rating_; }
    const System::String& GetRatingText() const { return ratingText_; }
    const System::String& GetUser() const { return user_; }
    int GetCpu() const { return cpu_; }
    uint64_t GetMemory() const { return memory_; }
    bool IsAlive() const { return alive_; }
    bool IsChanged() const { return changed_; }

    // Mark changed only when the value differs, so the window redraws only what moved.
    void SetCpu(int cpu);
    void SetMemory(uint64_t memory);
    void SetAlive(bool alive) { alive_ = alive; }
    void ClearChanged() { changed_ = false; }

    // Copies id, path, description, image name, rating, rating text, user and cpu.
    void CopyFrom(const ProcessInfo& other);

    bool IsSystemAccount() const;
    static System::String GetRatingText(int rating);

private:
    uint32_t processId_;
    System::String path_;
    System::String description_;
    System::String imageName_;
    int rating_ = -3;
    System::String ratingText_;
    System::String user_;
    int cpu_;
    uint64_t memory_;
    bool alive_ = true;
    bool changed_ = true;
};
