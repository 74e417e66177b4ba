#pragma once

#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    // The path of `name` inside the folder.
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    // Writes `bytes` to `name` and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::string m_path;
};

std::string readBytes(const std::string& path);
// Names of the entries of a folder, sorted, to see that no stray file was left.
std::string folderListing(const std::string& path);
