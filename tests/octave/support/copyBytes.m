function copyBytes(from, to)
% Copies a file byte for byte: Octave's copyfile runs a shell that splits a
% name with a quote or a space.
  source = fopen(from, 'r');
  bytes = fread(source, Inf, '*uint8');
  fclose(source);
  target = fopen(to, 'w');
  fwrite(target, bytes);
  fclose(target);
end
