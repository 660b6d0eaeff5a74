// Real files on disk for the tests: a fresh folder per test, and whole-file
// reading and writing that bypass the code under test.
#pragma once

#include "xml/XMLNodes.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // The full path of `name` in the folder, as a narrow string.
    std::string path(const std::string& name) const;

    // The names of the files in the folder, sorted.
    std::vector<std::string> fileNames() const;

private:
    std::filesystem::path folder;
};

void writeBytes(const std::string& path, const std::string& bytes);
std::optional<std::string> readBytes(const std::string& path);
void makeReadOnly(const std::string& path);

// A tree in one line: name, ="text" when there is one, children in [].
std::string describe(const XMLNodesPtr& node);
std::string describe(const XMLNodes& node);
