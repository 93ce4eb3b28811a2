function [status, out] = system(command)
% The command run as a host on Windows runs it, through cmd.exe /c: the C
% runtime's _wsystem under wine, the text handed over untouched in the
% environment.
  setenv('TWINVOLTS_CMD_TEXT', command);
  [status, out] = builtin('system', getenv('TWINVOLTS_CMD_SYSTEM'));
  setenv('TWINVOLTS_CMD_TEXT', '');
end
