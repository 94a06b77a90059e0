#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace TestSupport {

// What a run of damaged inputs through one reader gave.
struct FuzzReport {
    std::string reader;
    int inputs = 0;
    // Outcome name to count: the reader's successes and documented failures.
    std::map<std::string, int> outcomes;
    // Outcomes the reader does not document, each with the kind of damage that led to it (first few).
    std::vector<std::string> unexpected;
    double worstSeconds = 0;
    // The largest rise of the process's peak committed memory over its use before an input.
    uint64_t worstMemoryBytes = 0;

    std::string ToString() const;
};

// Reads one input and names its outcome: a success or one of the reader's documented failures.
// Anything it lets escape counts as unexpected.
using FuzzReader = std::function<std::string(const std::string& bytes)>;

// Feeds inputs damaged copies of the samples (taken in turn) to read. An input that runs past
// 5 seconds is saved as "vela-fuzz-hang-<reader>.bin" in the temporary folder and ends the process
// with exit code 3, since a hung reader cannot be stopped from inside. With VELA_FUZZ_KEEP_LAST set,
// each input is first saved as "vela-fuzz-last-<reader>.bin", so one that aborts the process stays.
FuzzReport RunFuzz(const std::string& reader, const std::vector<std::string>& samples, int inputs, uint64_t seed,
                   const FuzzReader& read);

// count, or the number in the environment variable VELA_FUZZ_INPUTS when the long run sets it.
int FuzzInputs(int count);

// The seed of a run, or VELA_FUZZ_SEED when set.
uint64_t FuzzSeed(uint64_t seed);

// Prints the report and expects only documented outcomes, more than one of them (the damage reached
// the reader's failures as well as its successes) and no input that cost 64 MB.
void ExpectSeveralDocumentedOutcomes(const FuzzReport& report);

// Names a library exception thrown as a pointer and deletes it.
std::string ExceptionOutcome(const std::exception_ptr& thrown);

}  // namespace TestSupport
