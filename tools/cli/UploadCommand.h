#pragma once

namespace quorvel::cli {

// `quorvel-cli upload ...`: the arguments after the command word. Returns the exit status
// (kUploadUsage lists them).
int RunUploadCommand(int argc, char** argv);

} // namespace quorvel::cli
