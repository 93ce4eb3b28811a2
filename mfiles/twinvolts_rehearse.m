function r = twinvolts_rehearse(varargin)
%TWINVOLTS_REHEARSE Run a signal through the twinvolts block and a simulated card.
%   R = TWINVOLTS_REHEARSE(U) runs U, N-by-2 volts, through the twinvolts
%   module as the host would, against a simulated card: column 1 goes to
%   Dev1/ao0, column 2 to Dev1/ao1, one row a step, steps of 0.01 s from 0.
%   R = TWINVOLTS_REHEARSE(T, U) takes the times T (N elements, evenly spaced).
%   R = TWINVOLTS_REHEARSE(S) takes a structure with time, as signal blocks
%   log it: S.time (N elements) and S.signals.values (N-by-2).
%   TWINVOLTS_REHEARSE(...) without an output draws the outputs instead:
%   ao0 above ao1, the level solid, the request dashed where the output
%   missed it, refused writes marked, the verdict in the title.
%
%   Options, as name/value pairs after the signal (names in any case):
%     'Dt', S             step size in seconds (default 0.01, or T's step)
%     'NoCard', TF        run without a card
%     'Reserve', CH       'ao0' or 'ao1': held by another task during the run
%     'FailWriteAt', K    the card refuses its K-th write (two a step, two at
%                         shutdown)
%     'Block', PATH       the block's path in the model
%     'Module', FILE      the module file (default: the one beside this file)
%     'Program', FILE     the rehearsal program (default: the kit's, in the
%                         rehearsal folder beside this file's folder)
%
%   R's fields; rows run over the N steps, then the shutdown:
%     time       (N+1)-by-1 seconds
%     requested  (N+1)-by-2 volts the block asked for
%     actual     (N+1)-by-2 volts the output held after the step, NaN where
%                the level is unknown
%     status     (N+1)-by-2 the card's status of each write (0: accepted),
%                NaN where the channel was not written
%     warnings   cell array of the block's warnings, each text once, whole
%     result     'completed' or 'completed with faults'
%     zeroed     1-by-2 logical: the output is known to be at 0 V after shutdown
%     summary    the program's summary as text
%   No number is rounded on the way; NaN and Inf go to the block as they are,
%   and the card refuses them.
%
%   Example: the card refuses its third write (ao0 at step 2)
%     r = twinvolts_rehearse([1 2; 3 4; 2 1], 'FailWriteAt', 3);
%     r.result              % 'completed with faults'
%     r.status(2, :)        % -201003  0
%     r.actual(2, :)        % 1  4: ao0 kept its level
%
%   Errors have identifiers twinvolts:rehearse:*; an error of the program is
%   its own one line.

  [t, u, rest] = signalArguments(varargin);
  options = rehearsalOptions(rest);
  n = size(u, 1);
  checkAgainstSignal(options, t, n);
  folder = tempname();
  if ~mkdir(folder)
    error('twinvolts:rehearse:temporary', 'cannot make the temporary folder %s', folder);
  end
  files = struct('input', fullfile(folder, 'input.csv'), 'trace', fullfile(folder, 'trace.csv'), ...
                 'errors', fullfile(folder, 'errors.txt'));
  cleanup = onCleanup(@() removeTemporaries(folder, files));
  writeInput(files.input, t, u);
  summary = runProgram(options, files);
  [time, requested, actual, status] = readTrace(files.trace, n);
  rehearsal = struct('time', time, 'requested', requested, 'actual', actual, ...
                     'status', status, 'warnings', {warningTexts(summary)}, ...
                     'result', summary.result, ...
                     'zeroed', reshape([summary.channels.zeroed], 1, 2) == 1, ...
                     'summary', summary.text);
  if nargout > 0
    r = rehearsal;
  else
    drawRehearsal(rehearsal, options.block);
  end
end

function [t, u, rest] = signalArguments(args)
  if isempty(args)
    fail('noSignal', 'twinvolts_rehearse needs a signal: U (N-by-2 volts), T and U, or a structure with time');
  end
  t = [];
  names = {'dt', 'nocard', 'reserve', 'failwriteat', 'block', 'module', 'program'};
  if (ischar(args{1}) || isa(args{1}, 'string')) && any(strcmpi(char(args{1}), names))
    fail('noSignal', sprintf('the signal comes first and the options after it, as in twinvolts_rehearse(U, ''Dt'', 0.1): ''%s'' came first', char(args{1})));
  end
  if isstruct(args{1})
    s = args{1};
    if ~isscalar(s) || ~isfield(s, 'time') || ~isfield(s, 'signals') || ~isstruct(s.signals) ...
        || ~isfield(s.signals, 'values')
      fail('badStructure', 'the structure needs the fields time and signals.values, as a signal logged with time');
    end
    t = s.time;
    u = s.signals.values;
    rest = args(2:end);
  elseif numel(args) >= 2 && (isnumeric(args{2}) || islogical(args{2}))
    if ~isvector(args{1})
      fail('badTime', 'given two arrays, the first is T, a vector of N times, and the second U; options come after the signal as name/value pairs, each name first');
    end
    t = args{1};
    u = args{2};
    rest = args(3:end);
  else
    u = args{1};
    rest = args(2:end);
  end
  u = checkedSignal(u);
  if ~isempty(t) || isstruct(args{1})
    t = checkedTime(t, size(u, 1), isstruct(args{1}));
  end
end

function u = checkedSignal(u)
  if ~(isnumeric(u) || islogical(u))
    fail('badSignal', sprintf('the signal must be numeric or logical volts, not of class %s', class(u)));
  end
  if ~isreal(u)
    fail('complexSignal', 'the signal must be real volts: it is complex');
  end
  if isempty(u)
    fail('emptySignal', 'the signal is empty: give at least one row of two volts');
  end
  if ndims(u) ~= 2 || size(u, 2) ~= 2
    hint = '';
    if ndims(u) == 2 && size(u, 1) == 2
      hint = sprintf(': it is 2-by-%d, so transpose it (U.'')', size(u, 2));
    end
    fail('signalColumns', sprintf('the signal must have 2 columns, ao0 and ao1%s', hint));
  end
  u = double(u);
end

% An empty time of a structure means the steps count from 0, as without T.
function t = checkedTime(t, n, fromStructure)
  if fromStructure && isempty(t)
    return;
  end
  if ~(isnumeric(t) || islogical(t)) || ~isreal(t) || ~isvector(t)
    fail('badTime', 'the times must be a real numeric vector');
  end
  if numel(t) ~= n
    rows = 'rows';
    if n == 1
      rows = 'row';
    end
    fail('timeLength', sprintf('the times have %d elements and the signal %d %s: one time a row', numel(t), n, rows));
  end
  t = double(t(:));
  if ~all(isfinite(t))
    fail('badTime', 'the times must be finite numbers of seconds');
  end
  if n > 1
    d = diff(t);
    before = abs(t(1:end - 1));
    after = abs(t(2:end));
    tolerance = 1e-9 * d(1) + 4 * eps(max(before, after));
    if ~all(d > 0) || ~all(abs(d - d(1)) <= tolerance)
      fail('timeSpacing', sprintf('the times must rise evenly: step %d is not %.17g s after the one before', ...
                                  find(~(d > 0) | abs(d - d(1)) > tolerance, 1) + 1, d(1)));
    end
  end
end

function options = rehearsalOptions(rest)
  options = struct('dt', [], 'noCard', false, 'reserve', '', 'failWriteAt', [], ...
                   'block', 'model/twinvolts', 'module', '', 'program', '');
  for k = 1:numel(rest)
    if isa(rest{k}, 'string') && isscalar(rest{k})
      rest{k} = char(rest{k});
    end
  end
  defaultProgramTaken = false;
  for k = 1:2:numel(rest)
    name = rest{k};
    if ~ischar(name) || isempty(name) || size(name, 1) ~= 1
      fail('badOption', sprintf('argument %d must be an option name such as ''Dt''', k + 1));
    end
    if k == numel(rest)
      fail('missingValue', sprintf('option ''%s'' needs a value after it', name));
    end
    options = takeOption(options, name, rest{k + 1});
  end
  if isempty(options.program)
    options.program = defaultProgram();
    defaultProgramTaken = true;
  end
  if ~exist(options.program, 'file') && defaultProgramTaken
    fail('noProgram', sprintf('no rehearsal program at %s, where a kit keeps it beside the folder of this file: name the kit''s rehearsal program with ''Program''', options.program));
  elseif ~exist(options.program, 'file')
    fail('noProgram', sprintf('the rehearsal program %s given with ''Program'' is not there', options.program));
  end
  if isempty(options.module)
    options.module = defaultModule();
  end
end

function options = takeOption(options, name, value)
  switch lower(name)
    case 'dt'
      if ~isnumeric(value) || ~isreal(value) || ~isscalar(value) || ~(value > 0) || ~isfinite(value)
        fail('badOption', 'option ''Dt'' needs a positive number of seconds');
      end
      options.dt = double(value);
    case 'nocard'
      if ~(islogical(value) || isnumeric(value)) || ~isscalar(value) || isnan(value)
        fail('badOption', 'option ''NoCard'' needs true or false');
      end
      options.noCard = logical(value);
    case 'reserve'
      if ~ischar(value) || ~any(strcmpi(value, {'ao0', 'ao1'}))
        fail('badOption', 'option ''Reserve'' needs ''ao0'' or ''ao1''');
      end
      options.reserve = lower(value);
    case 'failwriteat'
      if ~isnumeric(value) || ~isreal(value) || ~isscalar(value) || ~(value >= 1) ...
          || value ~= fix(value) || ~isfinite(value)
        fail('badOption', 'option ''FailWriteAt'' needs a write number from 1');
      end
      options.failWriteAt = double(value);
    case {'block', 'module', 'program'}
      if ~ischar(value) || size(value, 1) ~= 1
        fail('badOption', sprintf('option ''%s'' needs a line of text, not empty', name));
      end
      options.(lower(name)) = value;
    otherwise
      fail('unknownOption', sprintf('unknown option ''%s'': the options are Dt, NoCard, Reserve, FailWriteAt, Block, Module and Program', name));
  end
end

% The kit's program beside module/, or the build's beside the module file;
% neither there: the kit's place, which the refusal names.
function program = defaultProgram()
  here = fileparts(mfilename('fullpath'));
  name = 'twinvolts-sim';
  if ispc()
    name = 'twinvolts-sim.exe';
  end
  program = fullfile(fileparts(here), 'rehearsal', name);
  built = fullfile(here, 'sim', name);
  if ~exist(program, 'file') && exist(built, 'file')
    program = built;
  end
end

% What the program would refuse of the options given this signal, told in
% the function's own words before it runs.
function checkAgainstSignal(options, t, n)
  if ~isempty(options.failWriteAt) && options.noCard
    fail('badOption', 'option ''FailWriteAt'' does not go with ''NoCard'': without a card every write is refused');
  end
  if ~isempty(options.failWriteAt) && options.failWriteAt > 2 * n + 2
    fail('badOption', sprintf('option ''FailWriteAt'' is %.0f, past the run''s last write: %d steps make %d writes (two a step, two at shutdown)', ...
                              options.failWriteAt, n, 2 * n + 2));
  end
  if ~isempty(options.dt) && numel(t) > 1
    step = t(2) - t(1);
    if abs(step - options.dt) > 1e-9 * options.dt + 4 * eps(max(abs(t(1:2))))
      fail('badOption', sprintf('option ''Dt'' is %g s, but the times T step by %g s: leave ''Dt'' out, the times give the step', ...
                                options.dt, step));
    end
  end
end

% The module file beside this one that the host loads, or that this
% machine's program loads where the host's extension names none (GNU
% Octave's is mex); none found: the program's own default.
function module = defaultModule()
  here = fileparts(mfilename('fullpath'));
  module = fullfile(here, ['twinvolts.' mexext()]);
  if exist(module, 'file')
    return;
  end
  wide = ~isempty(strfind(computer(), '64'));
  if ispc() && wide
    extension = 'mexw64';
  elseif ispc()
    extension = 'mexw32';
  elseif wide
    extension = 'mexa64';
  else
    extension = 'mexglx';
  end
  module = fullfile(here, ['twinvolts.' extension]);
  if ~exist(module, 'file')
    module = '';
  end
end

% Exact text: %.17g reads back to the same double, NaN and Inf as the host
% writes them.
function writeInput(path, t, u)
  fid = fopen(path, 'w');
  if fid < 0
    fail('temporary', sprintf('cannot write the temporary input %s', path));
  end
  if isempty(t)
    fprintf(fid, 'ao0,ao1\n');
    count = fprintf(fid, '%.17g,%.17g\n', u.');
  else
    fprintf(fid, 'time,ao0,ao1\n');
    count = fprintf(fid, '%.17g,%.17g,%.17g\n', [t u].');
  end
  if fclose(fid) ~= 0 || count < 0
    fail('temporary', sprintf('cannot write the temporary input %s', path));
  end
end

function summary = runProgram(options, files)
  words = {options.program, '--json', '--input', files.input, '--trace', files.trace, ...
           '--block', options.block};
  if ~isempty(options.module)
    words = [words, {'--module', options.module}];
  end
  if ~isempty(options.dt)
    words = [words, {'--dt', sprintf('%.17g', options.dt)}];
  end
  if options.noCard
    words = [words, {'--no-card'}];
  end
  if ~isempty(options.reserve)
    words = [words, {'--reserve', options.reserve}];
  end
  if ~isempty(options.failWriteAt)
    words = [words, {'--fail-write-at', sprintf('%.0f', options.failWriteAt)}];
  end
  [status, out] = system(commandLine(words, files.errors));
  if status == 0 || status == 3
    summary = jsondecode(out);
    return;
  end
  message = programMessage(files.errors);
  if status == 1 && ~isempty(out)
    stopped = jsondecode(out);
    message = ['twinvolts-sim: the module stopped the run: ' strjoin(stopped.errors(:).', '; ')];
    error('twinvolts:rehearse:moduleError', '%s', message);
  end
  if isempty(message)
    message = sprintf('twinvolts-sim ended with exit status %d', status);
  end
  error('twinvolts:rehearse:program', '%s', message);
end

function message = programMessage(path)
  message = '';
  fid = fopen(path, 'r');
  if fid >= 0
    message = fread(fid, [1, Inf], '*char');
    fclose(fid);
  end
  lines = strsplit(strtrim(message), sprintf('\n'));
  message = strtrim(lines{end});
end

% One word each, whatever the path holds. On Linux the program runs without
% the host's library path. cmd.exe takes & and spaces in quotes as they are,
% but no quote inside, and puts a variable's value for %NAME% even there:
% a word that would be changed is refused, never changed.
function command = commandLine(words, errors)
  if ispc()
    quoted = find(cellfun(@(word) any(word == '"'), words), 1);
    if ~isempty(quoted)
      fail('windowsCommand', sprintf('cmd.exe cannot pass a double quote to the program, as in %s', words{quoted}));
    end
    command = ['"' strjoin(strcat('"', words, '"'), ' ') ' 2>"' errors '""'];
    marks = find(command == '%');
    for k = 1:numel(marks) - 1
      name = command(marks(k) + 1:marks(k + 1) - 1);
      if ~isempty(name) && ~isempty(getenv(name))
        fail('windowsCommand', sprintf('cmd.exe would put the variable %%%s%% in the command; rename what holds it', name));
      end
    end
  else
    quoted = cellfun(@shellWord, words, 'UniformOutput', false);
    command = ['unset LD_LIBRARY_PATH; exec ' strjoin(quoted, ' ') ' 2>' shellWord(errors)];
  end
end

function word = shellWord(text)
  word = ['''' strrep(text, '''', '''\''''') ''''];
end

% sscanf reads every double back exactly; an empty field (a level unknown,
% a channel not written) becomes NaN first, and the shutdown row's label a
% number.
function [time, requested, actual, status] = readTrace(path, n)
  fid = fopen(path, 'r');
  if fid < 0
    fail('program', sprintf('the program wrote no trace %s', path));
  end
  text = fread(fid, [1, Inf], '*char');
  fclose(fid);
  text = text(find(text == sprintf('\n'), 1) + 1:end);
  text = strrep(text, 'shutdown,', '0,');
  text = strrep(text, ',,', ',NaN,');
  text = strrep(text, ',,', ',NaN,');
  text = strrep(text, sprintf(',\n'), sprintf(',NaN\n'));
  values = sscanf(text, '%f,%f,%f,%f,%f,%f,%f,%f\n');
  if numel(values) ~= 8 * (n + 1)
    fail('program', sprintf('the trace holds %d numbers, not the %d of %d steps and the shutdown', ...
                            numel(values), 8 * (n + 1), n));
  end
  values = reshape(values, 8, n + 1).';
  time = values(:, 2);
  requested = values(:, [3 6]);
  actual = values(:, [4 7]);
  status = values(:, [5 8]);
end

function texts = warningTexts(summary)
  texts = cell(0, 1);
  if ~isempty(summary.warnings.texts)
    texts = {summary.warnings.texts.text}.';
  end
end

function drawRehearsal(r, block)
  for k = 1:2
    subplot(2, 1, k);
    written = ~isnan(r.status(:, k));
    missed = written & ~(r.actual(:, k) == r.requested(:, k));
    request = atPanelEdge(r.requested(:, k));
    request(~missed) = NaN;
    refused = written & r.status(:, k) ~= 0;
    edge = atPanelEdge(r.requested(refused, k));
    lines = plot(r.time, r.actual(:, k), 'b-', r.time, request, 'r--');
    labels = {'output', 'requested'};
    if any(refused)
      hold('on');
      lines(end + 1) = plot(r.time(refused), edge, 'rx');
      hold('off');
      labels{end + 1} = 'refused';
    end
    ylim([-1 6]);
    ylabel(sprintf('Dev1/ao%d (V)', k - 1));
    legend(lines, labels, 'location', 'eastoutside');
    if k == 1
      title(sprintf('twinvolts %s: %s', block, r.result), 'interpreter', 'none');
    end
  end
  xlabel('time (s)');
end

% A request far outside the band, NaN among them, is drawn at the panel's edge.
function volts = atPanelEdge(volts)
  unknown = isnan(volts);
  volts = min(max(volts, -0.5), 5.5);
  volts(unknown) = 5.5;
end

function removeTemporaries(folder, files)
  names = struct2cell(files);
  for k = 1:numel(names)
    if exist(names{k}, 'file')
      delete(names{k});
    end
  end
  if exist(folder, 'dir')
    rmdir(folder);
  end
end

function fail(what, message)
  error(['twinvolts:rehearse:' what], '%s', message);
end
