#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>

#include "gif/safesave_platform.h"

FILE* createNewFile(const std::string& path, bool* taken) {
    // _O_EXCL refuses an existing file, so two saves never share a temporary file.
    const int handle = _open(path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    *taken = handle == -1 && errno == EEXIST;
    if (handle == -1) return nullptr;
    FILE* stream = _fdopen(handle, "wb");
    if (!stream) _close(handle);
    return stream;
}

// Windows files carry no permission bits worth copying; the folder's rights apply.
void keepPermissions(const std::string&, const std::string&) {}

bool replaceFile(const std::string& from, const std::string& to) {
    // rename() will not replace an existing file on Windows.
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
