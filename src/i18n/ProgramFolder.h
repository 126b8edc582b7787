#pragma once
// The folder of the running program file: catalogues and the ports folder sit beside it.

#include <QString>

namespace quorvel::i18n {

// Empty when the system cannot say (then only the system's places are used).
QString ProgramFolder();

} // namespace quorvel::i18n
