function rehearse_bench(program, steps)
% twinvolts_rehearse against the same round trip by hand: the input written
% with fprintf('%.17g'), the program run, the trace read with sscanf. Best
% of three each, in seconds, and the ratio.
  t = (0:steps - 1).' * 0.01;
  u = [2.5 + 2.5 * sin(2 * pi * t), mod(t, 5)];
  folder = tempname();
  mkdir(folder);
  input = fullfile(folder, 'in.csv');
  trace = fullfile(folder, 'trace.csv');
  byHand = Inf;
  viaFunction = Inf;
  for k = 1:3
    started = tic();
    fid = fopen(input, 'w');
    fprintf(fid, '%.17g,%.17g\n', u.');
    fclose(fid);
    system(sprintf('''%s'' --quiet --input ''%s'' --trace ''%s''', program, input, trace));
    text = fileread(trace);
    text = strrep(text(find(text == sprintf('\n'), 1) + 1:end), 'shutdown,', '0,');
    values = sscanf(text, '%f,%f,%f,%f,%f,%f,%f,%f\n');
    byHand = min(byHand, toc(started));
    started = tic();
    r = twinvolts_rehearse(u);
    viaFunction = min(viaFunction, toc(started));
  end
  delete(input);
  delete(trace);
  rmdir(folder);
  if numel(values) ~= 8 * (steps + 1) || ~isequal(size(r.requested), [steps + 1, 2])
    error('rehearse_bench:short', 'a round trip lost rows');
  end
  fprintf('%-34s %8.3f s\n', 'by hand (fprintf, program, sscanf)', byHand);
  fprintf('%-34s %8.3f s\n', 'twinvolts_rehearse', viaFunction);
  fprintf('%-34s %8.2f (at most 1.5)\n', 'ratio', viaFunction / byHand);
end
