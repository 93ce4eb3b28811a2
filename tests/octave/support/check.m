function failed = check(what, passed, detail)
% One row's verdict, printed as the tests' other rows are: 1 when it failed.
  failed = ~passed;
  if passed
    fprintf('ok      %s\n', what);
  else
    fprintf('FAILED  %s: %s\n', what, detail);
  end
end
