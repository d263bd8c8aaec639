#pragma once
// What a transport's reader thread tells the owner of the receive queue. Both calls come on
// the reader thread, so an implementation only flags or posts; it never touches the UI.
class ReaderListener {
public:
  virtual ~ReaderListener() = default;
  // A drained burst has been queued (or dropped for want of room).
  virtual void OnBytesQueued() = 0;
  // The device hung up or failed for good; the reader reads nothing more until the port is
  // closed. Called once per open port, after the last burst was queued.
  virtual void OnPortGone() = 0;
};
