#include "support/temp_dir.h"

#include <QDir>

namespace test_support {

TempDir::TempDir() : m_dir(QDir::tempPath() + "/pemblar-test-XXXXXX") {}

std::string TempDir::Path() const {
    return m_dir.path().toStdString();
}

std::string TempDir::FilePath(const std::string& name) const {
    return m_dir.filePath(QString::fromStdString(name)).toStdString();
}

}  // namespace test_support
