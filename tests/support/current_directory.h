#pragma once

#include <windows.h>

#include <string>

// Makes a folder the process's current directory for its lifetime, for code that opens bare
// file names, and puts the previous one back.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& path)
    {
        char current[MAX_PATH] = {};
        (void)GetCurrentDirectoryA(MAX_PATH, current);
        previous_ = current;
        entered_ = SetCurrentDirectoryA(path.c_str()) != FALSE;
    }
    ~CurrentDirectory() { (void)SetCurrentDirectoryA(previous_.c_str()); }
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

    bool entered() const { return entered_; }

private:
    std::string previous_;
    bool entered_ = false;
};
