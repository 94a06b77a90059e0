#pragma once

#include <cstdint>
#include <string>

namespace TestSupport {

// Damages bytes the way disks, downloads and other programs damage files, the same way for the
// same seed on every machine: bit flips, truncation in every length class, 32-bit and 7-bit length
// and count fields set to 0, -1 or huge, duplicated and swapped blocks, invalid UTF-8 and broken XML.
class Mutator {
public:
    explicit Mutator(uint64_t seed) : state_(seed) {}

    // A damaged copy of input; the kinds of damage take turns, so every kind shows up in a short run.
    std::string Mutate(const std::string& input);
    // The kind of the last damage, for reports.
    const char* LastKind() const { return lastKind_; }

    uint64_t Next();
    // 0 to bound - 1; 0 when bound is 0.
    size_t Below(size_t bound) { return bound == 0 ? 0 : static_cast<size_t>(Next() % bound); }

private:
    void Apply(int kind, std::string& bytes);

    uint64_t state_;
    uint64_t turn_ = 0;
    const char* lastKind_ = "";
};

}  // namespace TestSupport
