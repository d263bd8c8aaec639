#pragma once
// Whoever takes the received frames from the module channel. The channel hands every
// registered consumer the frames of one drained burst as one batch, oldest first, in the order
// the consumers were added; then it ends the batch for each of them, where a view updates
// itself once. Everything runs on the UI thread.
#include <span>

#include "protocol/ReceivedFrame.h"

class FrameConsumer {
public:
  virtual ~FrameConsumer() = default;
  // One batch, never empty. The span and its records are valid only during the call: keep
  // copies, not pointers.
  virtual void OnFrames(std::span<const ReceivedFrame> frames) = 0;
  // After every consumer has had the batch.
  virtual void EndBatch() {}
};
