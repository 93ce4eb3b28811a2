#include "sim/run/channel_reservation.h"

#include "simcard/simcard.h"

namespace sim {

bool ChannelReservation::hold(int channel, std::string& error) {
  std::string name = "Dev1/ao" + std::to_string(channel);
  int32 status = DAQmxCreateTask("reservation", &task_);
  if (status >= 0)
    status = DAQmxCreateAOVoltageChan(task_, name.c_str(), "", 0.0, 5.0, DAQmx_Val_Volts, nullptr);
  if (status >= 0) status = DAQmxStartTask(task_);
  if (status >= 0) return true;
  error = "cannot reserve " + name + ": " + simcardStatusText(status);
  release();
  return false;
}

void ChannelReservation::release() {
  if (task_ == 0) return;
  DAQmxStopTask(task_);
  DAQmxClearTask(task_);
  task_ = 0;
}

}  // namespace sim
