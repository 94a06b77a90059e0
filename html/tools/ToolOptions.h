#pragma once

#include <string>
#include <vector>

// Command line of the page tools: [--width W] [--height H] FILE.xhtml [OUT]
struct ToolOptions {
    int width = 800;
    int height = 600;
    std::vector<std::wstring> files;

    // False, with a message on the error stream, when the line is not of that form.
    bool Parse(int argc, wchar_t** argv, size_t fileCount, const wchar_t* usage);
};

// Initialises COM for the process's one thread and undoes it at exit.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    bool Ok() const { return ok_; }

private:
    bool ok_;
};
