#include "pdf_source_file.h"

#include "plat_open_regular.h"
#include "tk_log.h"

#include <cerrno>
#include <fcntl.h>

pdf_source_file::pdf_source_file(const std::string& name)
{
    // Only a regular file: a FIFO would block the reading, a device give bytes without end.
    struct stat status {};
    const int fd = plat::open_regular_file(name, O_RDONLY, status);
    if (fd < 0) {
        open_error = errno;
        tk_log(1, "pdf_source_file: %s can't be opened (error %d)", name.c_str(), open_error);
        return;
    }
    // The library's file object takes the descriptor and notes its modification time.
    file = GooFile::open(fd);
    size_when_opened = file->size();
}

bool pdf_source_file::changed() const
{
    return file != nullptr && (file->size() != size_when_opened || file->modificationTimeChangedSinceOpen());
}
