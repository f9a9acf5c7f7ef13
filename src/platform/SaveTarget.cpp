#include "platform/SafeFile.h"

namespace SafeFile {

bool SaveTarget(const std::string& path, std::string& real, Status& status, std::string& error) {
    if (!Resolve(path, real, error) || !Inspect(real, status, error)) {
        return false;
    }
    if (status.kind == Kind::Folder) {
        error = real + " is a folder";
        return false;
    }
    if (status.kind == Kind::Other) {
        error = real + " is not a regular file";
        return false;
    }
    return true;
}

} // namespace SafeFile
