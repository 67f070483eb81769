// A fresh temporary directory for one test, removed with everything in it afterwards.
#pragma once

#include <QTemporaryDir>
#include <string>

namespace test_support {

class TempDir {
public:
    TempDir();
    /* False when the directory could not be made. */
    bool IsValid() const { return m_dir.isValid(); }
    std::string Path() const;
    /* The path of a file (or folder) named name inside the directory. */
    std::string FilePath(const std::string& name) const;

private:
    QTemporaryDir m_dir;
};

}  // namespace test_support
