// What every exported function of the library shares: nothing thrown leaves it, and command
// functions fill a record and hand it to the executor.
#pragma once

#include <initializer_list>

#include "command.h"
#include "comsupport/boundary.h"

namespace ravlin {

template <class Body>
auto Guarded(Body body, decltype(body()) failure = {}) -> decltype(body()) {
  return comsupport::Boundary("Ravlin", failure, body);
}

inline int RunCommandFunction(DWORD opcode, int mode, std::initializer_list<DWORD> arguments) {
  RavlinCommand command = MakeCommand(opcode, arguments);
  return ExecuteCommand(command, mode) != 0 ? 1 : 0;
}

// For operations that leave their object in an argument word.
template <class T>
T* RunObjectCommand(DWORD opcode, int mode, std::initializer_list<DWORD> arguments, int result_word) {
  RavlinCommand command = MakeCommand(opcode, arguments);
  ExecuteCommand(command, mode);
  return PointerOf<T>(command.arguments[result_word]);
}

}  // namespace ravlin
