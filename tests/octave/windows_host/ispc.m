function yes = ispc()
% GNU Octave on Linux taken for a host on Windows, so that twinvolts_rehearse
% builds the command line it builds there.
  yes = true;
end
