#include "app/state_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "app/platform.h"

namespace quorvel {

std::string StateFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') {
        std::string folder = state;
        if (folder.back() != '/') {
            folder.push_back('/');
        }
        return folder + "quorvel/";
    }
    return HomeFolder() + ".local/state/quorvel/";
}

bool IsOwnProgramFolder(const std::string& folder, uid_t user) {
    struct stat info {};
    return user != 0 && !folder.empty() && ::stat(folder.c_str(), &info) == 0 &&
           S_ISDIR(info.st_mode) && info.st_uid == user && (info.st_mode & S_IWUSR) != 0;
}

std::string DefaultLogFolder() {
    const std::string program = ProgramFolder();
    return IsOwnProgramFolder(program, ::geteuid()) ? program : StateFolder();
}

}  // namespace quorvel
