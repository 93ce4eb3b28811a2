function rehearse_windows_test(program, module)
% twinvolts_rehearse's command line for Windows, through cmd.exe /c, with
% the program and the module file in a folder whose name cmd.exe would
% split, expand or run: a space, a quote, &, % and a letter beyond ASCII.
  odd = fullfile(tempname(), ['it''s a dir & 100% ' char([195 188])]);
  mkdir(odd);
  copies = {fullfile(odd, 'twinvolts-sim.exe'), fullfile(odd, 'twinvolts.mexw64')};
  originals = {program, module};
  for k = 1:2
    copyBytes(originals{k}, copies{k});
  end
  libraries = dir(fullfile(fileparts(program), '*.dll'));
  for k = 1:numel(libraries)
    copyBytes(fullfile(fileparts(program), libraries(k).name), fullfile(odd, libraries(k).name));
  end
  failures = 0;
  r = twinvolts_rehearse([1 2; 3 4], 'Program', copies{1}, 'Module', copies{2});
  failures = failures + check('the odd folder', strcmp(r.result, 'completed') ...
                              && isequal(r.requested(1:2, :), [1 2; 3 4]), r.summary);
  r = twinvolts_rehearse([1 2; 3 4], 'NoCard', true, 'Block', 'm/a & b 50%', ...
                         'Program', copies{1}, 'Module', copies{2});
  failures = failures + check('options and a block path with & and %', ...
                              strcmp(r.result, 'completed with faults') ...
                              && ~isempty(strfind(r.summary, 'm/a & b 50%')), r.summary);
  try
    r = twinvolts_rehearse([1 2], 'Program', copies{1}, 'Module', fullfile(odd, 'none.mexw64'));
    failures = failures + check('a module that is not there', false, 'no error');
  catch err
    failures = failures + check('a module that is not there', ...
                                strcmp(err.identifier, 'twinvolts:rehearse:program'), err.message);
  end
  refusals = {'m/"b" & c', 'double quote'; 'm/%PATH%', '%PATH%'};
  for k = 1:size(refusals, 1)
    try
      r = twinvolts_rehearse([1 2], 'Block', refusals{k, 1}, 'Program', copies{1});
      failures = failures + check(['refused: ' refusals{k, 2}], false, 'no error');
    catch err
      failures = failures + check(['refused: ' refusals{k, 2}], ...
                                  strcmp(err.identifier, 'twinvolts:rehearse:windowsCommand') ...
                                  && ~isempty(strfind(err.message, refusals{k, 2})), err.message);
    end
  end
  made = dir(odd);
  for k = 1:numel(made)
    if ~made(k).isdir
      delete(fullfile(odd, made(k).name));
    end
  end
  rmdir(odd);
  rmdir(fileparts(odd));
  fprintf('%d failures\n', failures);
  if failures > 0
    exit(1);
  end
end
