function rehearse_test(program)
% twinvolts_rehearse against the built program, row by row: each call's
% arrays equal the program's own trace of the same input bit for bit; each
% wrong call is refused with its identifier; no temporary outlives a call.
% The temporaries go to a folder whose name needs quoting in every shell.
  scratch = tempname();
  mkdir(scratch);
  odd = fullfile(scratch, ['it''s a "dir" & 100% ' char([195 188])]);
  mkdir(odd);
  setenv('TMPDIR', odd);
  module = fullfile(fileparts(which('twinvolts_rehearse')), 'twinvolts.mexa64');
  copied = fullfile(odd, 'twinvolts.mexa64');
  copyBytes(module, copied);
  failures = 0;
  failures = failures + runCalls(program, copied, scratch, odd);
  failures = failures + runRefusals(odd);
  failures = failures + runFigure(scratch, copied);
  delete(copied);
  rmdir(odd);
  rmdir(scratch);
  fprintf('%d failures\n', failures);
  if failures > 0
    exit(1);
  end
end

% Each row: what, the function's arguments, the program's options for the
% same input, the verdict, zeroed.
function failures = runCalls(program, copied, scratch, odd)
  hard = [0.1 1/3; 5 - eps(5) 2.5000000000000004; 4.9e-324 -0; pi / 2 0];
  t = 10 + (0:3).' * 1e-3;
  s = struct('time', t, 'signals', struct('values', uint8([1 2; 3 4; 5 0; 2 2])));
  far = [NaN Inf; -Inf 2; 1 NaN];
  rows = {
    'u alone', {hard}, {}, 'completed', [true true]
    't and u', {t.', logical([1 0; 0 1; 1 1; 0 0])}, {}, 'completed', [true true]
    'structure with time', {s}, {}, 'completed', [true true]
    'NaN and infinities reach the card', {far}, {}, 'completed with faults', [true true]
    'NoCard', {hard, 'nocard', true}, {'--no-card'}, 'completed with faults', [false false]
    'Reserve', {hard, 'Reserve', 'ao1'}, {'--reserve', 'ao1'}, 'completed with faults', [true false]
    'FailWriteAt', {hard, 'FailWriteAt', 3}, {'--fail-write-at', '3'}, 'completed with faults', [true true]
    'Dt', {hard, 'Dt', 0.25}, {'--dt', '0.25'}, 'completed', [true true]
    'module path with a space and a quote', {hard, 'Module', copied}, {}, 'completed', [true true]
  };
  failures = 0;
  for k = 1:size(rows, 1)
    [what, args, words, verdict, zeroed] = rows{k, :};
    r = twinvolts_rehearse(args{:});
    [time, requested, actual, status] = programTrace(program, args, words, scratch);
    same = sameBits(r.time, time) && sameBits(r.requested, requested) ...
           && sameBits(r.actual, actual) && sameBits(r.status, status);
    sent = sameBits(r.requested(1:end - 1, :), double(signalOf(args)));
    failures = failures + check(what, same && sent && strcmp(r.result, verdict) ...
                                && isequal(r.zeroed, zeroed) && leftNothing(odd), r.summary);
  end
end

function u = signalOf(args)
  if isstruct(args{1})
    u = args{1}.signals.values;
  elseif numel(args) > 1 && ~ischar(args{2})
    u = args{2};
  else
    u = args{1};
  end
end

% The program's own trace of the same input, read field by field.
function [time, requested, actual, status] = programTrace(program, args, words, scratch)
  input = fullfile(scratch, 'in.csv');
  trace = fullfile(scratch, 'trace.csv');
  u = double(signalOf(args));
  fid = fopen(input, 'w');
  if isstruct(args{1}) || (numel(args) > 1 && ~ischar(args{2}))
    t = args{1};
    if isstruct(t)
      t = t.time;
    end
    fprintf(fid, 'time,ao0,ao1\n');
    fprintf(fid, '%.17g,%.17g,%.17g\n', [t(:) u].');
  else
    fprintf(fid, '%.17g,%.17g\n', u.');
  end
  fclose(fid);
  module = fullfile(fileparts(which('twinvolts_rehearse')), 'twinvolts.mexa64');
  command = sprintf('''%s'' --module ''%s'' --input ''%s'' --trace ''%s'' %s >/dev/null', ...
                    program, module, input, trace, strjoin(words, ' '));
  system(command);
  lines = strsplit(strtrim(fileread(trace)), sprintf('\n'));
  fields = cellfun(@(line) strsplit(line, ',', 'CollapseDelimiters', false), lines(2:end), 'UniformOutput', false);
  values = str2double(vertcat(fields{:}));
  delete(input);
  delete(trace);
  time = values(:, 2);
  requested = values(:, [3 6]);
  actual = values(:, [4 7]);
  status = values(:, [5 8]);
end

% Equal bit for bit, NaN where NaN is.
function same = sameBits(a, b)
  same = isequal(size(a), size(b)) && isequal(isnan(a), isnan(b)) ...
         && isequal(typecast(a(~isnan(a)), 'uint64'), typecast(b(~isnan(b)), 'uint64'));
end

function failures = runRefusals(odd)
  rows = {
    'text for u', {'abc'}, 'badSignal', 'numeric or logical'
    'complex u', {[1 + 2i 3; 4 5]}, 'complexSignal', 'complex'
    '3 columns', {ones(3, 3)}, 'signalColumns', '2 columns'
    '2-by-N gets the hint', {ones(2, 5)}, 'signalColumns', 'transpose'
    'empty u', {zeros(0, 2)}, 'emptySignal', 'empty'
    't of another length', {1:3, ones(2, 2)}, 'timeLength', '3 elements'
    't not evenly spaced', {[0 1 3], ones(3, 2)}, 'timeSpacing', 'rise evenly'
    'unknown option', {ones(2, 2), 'Bogus', 1}, 'unknownOption', 'Bogus'
    'option without value', {ones(2, 2), 'Dt'}, 'missingValue', 'needs a value'
    'Reserve of no channel', {ones(2, 2), 'Reserve', 'ao2'}, 'badOption', 'ao0'
    'structure without values', {struct('time', 1)}, 'badStructure', 'signals.values'
    'module that does not load', {ones(2, 2), 'Module', fullfile(odd, 'none.mexa64')}, 'program', 'twinvolts-sim: '
    'fault past the last write', {ones(2, 2), 'FailWriteAt', 7}, 'badOption', 'past the run''s last write'
    'fault with no card', {ones(2, 2), 'NoCard', true, 'FailWriteAt', 1}, 'badOption', 'does not go with ''NoCard'''
    'options before the signal', {'Dt', 0.1}, 'noSignal', 'comes first'
    'a number where an option name goes', {ones(2, 2), 3}, 'badTime', 'name/value pairs'
    'an option name in a cell', {ones(2, 2), {'Dt'}, 1}, 'badOption', 'argument 2 must be an option name'
    'Dt against the times', {[0 1], ones(2, 2), 'dT', 0.2}, 'badOption', 'the times T step by 1 s'
    'program not there', {ones(2, 2), 'Program', fullfile(odd, 'none')}, 'noProgram', 'Program'
    'file that is no module', {ones(2, 2), 'Module', which('rehearse_test')}, 'program', 'twinvolts-sim: '
  };
  failures = 0;
  for k = 1:size(rows, 1)
    [what, args, id, words] = rows{k, :};
    caught = '';
    try
      r = twinvolts_rehearse(args{:});
    catch err
      caught = err;
    end
    refused = ~isempty(caught) && strcmp(caught.identifier, ['twinvolts:rehearse:' id]) ...
              && ~isempty(strfind(caught.message, words)) && ~any(caught.message == sprintf('\n'));
    message = '';
    if ~isempty(caught)
      message = [caught.identifier ': ' caught.message];
    end
    failures = failures + check(what, refused && leftNothing(odd), message);
  end
end

% Without an output: two panels, the verdict in the title, printable.
% gnuplot, Octave's toolkit without a display, takes no quote in its own
% temporaries' folder.
function failures = runFigure(scratch, copied)
  setenv('TMPDIR', scratch);
  warning('off', 'Octave:gnuplot-graphics');
  warning('off', 'print:nogs');
  graphics_toolkit('gnuplot');
  figure('visible', 'off');
  twinvolts_rehearse([1 2; 7 3; 2 1], 'Module', copied);
  panels = findobj(gcf(), 'type', 'axes', '-not', 'tag', 'legend');
  titles = get(panels, 'title');
  texts = cellfun(@(h) get(h, 'string'), titles, 'UniformOutput', false);
  picture = fullfile(scratch, 'rehearsal.png');
  print(gcf(), picture, '-dpngcairo');
  drawn = dir(picture);
  failures = check('figure', numel(panels) == 2 && any(strcmp(texts, 'twinvolts model/twinvolts: completed with faults')) ...
                   && ~isempty(drawn) && drawn.bytes > 1000 && leftNothing(scratch), strjoin(texts, ' | '));
  delete(picture);
  close(gcf());
end

% Only the copied module file, the odd folder and the picture stay in a
% temporaries' folder.
function nothing = leftNothing(folder)
  listed = dir(folder);
  names = {listed.name};
  names = names(cellfun(@isempty, regexp(names, '^(\.|\.\.|twinvolts\.mexa64|it.s a .*|rehearsal\.png)$')));
  nothing = isempty(names);
end
