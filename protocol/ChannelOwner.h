#pragma once
// What the module channel needs from the frame that owns it.
class MessageHost;

class ChannelOwner {
public:
  virtual ~ChannelOwner() = default;
  // The owner's window: WM_CONFIG_REPORT and WM_FRAME_ACTIVITY are posted there.
  virtual MessageHost& OwnerWindow() = 0;
  // The frame's port-open flag: set after a successful Open, cleared by every Close.
  virtual void SetPortOpen(bool bOpen) = 0;
  // The open device went away (unplugged, hung up): the channel has decoded what arrived
  // before, raised the red event and closed the port, so the next command reopens it.
  virtual void OnPortGone() {}
  // A cyclic send started or stopped (the rows that show it are redrawn).
  virtual void OnCyclesChanged() {}
  // The close that BeginClose started has finished: the port is closed.
  virtual void OnClosed() {}
};
