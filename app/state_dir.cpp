#include "app/state_dir.h"

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

std::string DefaultLogFolder() {
    const std::string program = ProgramFolder();
    if (!program.empty() && ::access(program.c_str(), W_OK) == 0) {
        return program;
    }
    return StateFolder();
}

}  // namespace quorvel
