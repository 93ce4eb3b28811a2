// What a host on Windows does with a command: hands it to the C runtime's
// _wsystem, which runs cmd.exe /c with the text as it is. The text comes in
// the environment (TWINVOLTS_CMD_TEXT), so no quoting of ours touches it.
#include <process.h>
#include <stdlib.h>

int wmain() {
  const wchar_t* command = _wgetenv(L"TWINVOLTS_CMD_TEXT");
  if (command == nullptr) return 125;
  return _wsystem(command);
}
