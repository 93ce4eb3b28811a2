// card_control.mex: how an Octave session arms the simulated card and reads
// its state: the card that the module's driver functions are bound to, which
// both files find on the library path by the driver's name.
#include "host/mex_api.h"
#include "simcard/simcard.h"
#include "tests/octave/card_control.h"

namespace {

int requestedControl(int nrhs, const mxArray* prhs[]) {
  if (nrhs == 0) return kCardView;
  if (nrhs != 1 || mxGetClassID(prhs[0]) != mxDOUBLE_CLASS || mxGetM(prhs[0]) != 1 ||
      mxGetN(prhs[0]) != 1) {
    mexErrMsgTxt("card_control takes at most one double scalar");
  }
  return static_cast<int>(*mxGetPr(prhs[0]));
}

void takeAo1() {
  TaskHandle task = 0;
  if (DAQmxCreateTask("", &task) < 0 ||
      DAQmxCreateAOVoltageChan(task, "Dev1/ao1", "", 0.0, 5.0, DAQmx_Val_Volts, nullptr) < 0 ||
      DAQmxStartTask(task) < 0) {
    mexErrMsgTxt("the card refused the other program's task on Dev1/ao1");
  }
}

}  // namespace

extern "C" void mexFunction(int /*nlhs*/, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  switch (requestedControl(nrhs, prhs)) {
    case kCardView:
      break;
    case kCardArm:
      simcardReset();
      break;
    case kCardArmAbsent:
      simcardReset();
      simcardSetPresent(false);
      break;
    case kCardArmWarning:
      simcardReset();
      simcardSetWarnOnSuccess(true);
      break;
    case kCardTakeAo1:
      takeAo1();
      break;
    default:
      mexErrMsgTxt("no such control");
  }
  mxArray* view = mxCreateDoubleMatrix(1, 3, mxREAL);
  double* fields = mxGetPr(view);
  fields[0] = simcardOpenTaskCount();
  fields[1] = static_cast<double>(simcardChannelReservedBy(0));
  fields[2] = static_cast<double>(simcardChannelReservedBy(1));
  plhs[0] = view;
}
