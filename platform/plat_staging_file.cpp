#include "plat_staging_file.h"

#include "plat_links.h"

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace plat {

namespace {

int open_unnamed_in(const std::string& folder)
{
    return ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
}

std::string temporary_folder()
{
    const char* tmpdir = std::getenv("TMPDIR");
    return tmpdir != nullptr && tmpdir[0] == '/' ? tmpdir : "/tmp";
}

} // namespace

int open_staging_file(const std::string& near)
{
    const int fd = open_unnamed_in(folder_part(near));
    return fd >= 0 ? fd : open_unnamed_in(temporary_folder());
}

} // namespace plat
