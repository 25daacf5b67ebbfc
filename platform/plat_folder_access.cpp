#include "plat_folder_access.h"

#include <unistd.h>

namespace plat {

bool can_create_in(const std::string& folder) { return ::access(folder.c_str(), W_OK | X_OK) == 0; }

} // namespace plat
