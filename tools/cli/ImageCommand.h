#pragma once

namespace quorvel::cli {

// `quorvel-cli image ...`: the arguments after the command word. Returns the exit status:
// 0 converted, 1 the file was refused or could not be read or written, 2 wrong usage.
int RunImageCommand(int argc, char** argv);

} // namespace quorvel::cli
