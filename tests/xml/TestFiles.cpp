#include "TestFiles.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

TestFolder::TestFolder()
{
    std::random_device random;
    folder = std::filesystem::temp_directory_path() / ("zib-test-" + std::to_string(random()));
    std::filesystem::create_directories(folder);
}

TestFolder::~TestFolder()
{
    // Read-only files would stay behind on Windows.
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(folder, ignored);
}

std::string TestFolder::path(const std::string& name) const
{
    std::string full = folder.string();
    full += static_cast<char>(std::filesystem::path::preferred_separator);
    full += name;
    return full;
}

std::vector<std::string> TestFolder::fileNames() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::optional<std::string> readBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void makeReadOnly(const std::string& path)
{
    using std::filesystem::perms;
    std::filesystem::permissions(path, perms::owner_read | perms::group_read | perms::others_read);
}

std::string describe(const XMLNodesPtr& node)
{
    return node ? describe(*node) : "(null)";
}

std::string describe(const XMLNodes& node)
{
    std::string out = node.getName();
    if (!node.getText().empty())
        out += "=\"" + node.getText() + "\"";
    const XMLNodesList children = node.getChildren();
    if (!children.empty()) {
        out += "[";
        for (std::size_t i = 0; i < children.size(); ++i) {
            if (i > 0)
                out += ",";
            out += describe(children[i]);
        }
        out += "]";
    }
    return out;
}
