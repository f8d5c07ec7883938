// quorvel-dump's collection forms: --sqlite DB PATH... indexes folder trees
// and files into DB; --search QUERY --sqlite DB searches DB without
// updating it.
#pragma once

namespace quorvel {

// True when the command line asks for a collection form (--sqlite or
// --search), which RunCollectionCommand then handles whole.
bool IsCollectionCommand(int argc, char** argv);

// The exit status: 0, 1 when a path could not be read or the database
// failed, 2 for a usage error.
int RunCollectionCommand(int argc, char** argv);

}  // namespace quorvel
