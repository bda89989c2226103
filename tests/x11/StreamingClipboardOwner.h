// Another program on the X server that holds the CLIPBOARD and answers a request for
// UTF8_STRING with an incremental transfer it paces itself: pieces of a given size, type and
// number, each sent a while after the requestor took the one before. It runs on a thread of its
// own with a connection of its own, so the window under test waits on it as on any program.
#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace kestrix {

class StreamingClipboardOwner {
 public:
  struct Plan {
    size_t pieceBytes = 4096;
    int pieces = 1;       // then an empty piece ends the transfer
    int delayMs = 0;      // after the requestor takes a piece, before the next
    bool asString = false;  // pieces typed STRING instead of UTF8_STRING
  };
  // Returns once the clipboard is held, or Ready() says it could not be.
  StreamingClipboardOwner(const std::string& display, Plan plan);
  ~StreamingClipboardOwner();
  StreamingClipboardOwner(const StreamingClipboardOwner&) = delete;
  StreamingClipboardOwner& operator=(const StreamingClipboardOwner&) = delete;

  bool Ready() const { return ready_ == 1; }
  // The pieces handed over so far.
  int PiecesSent() const { return sent_; }

 private:
  void Serve(const std::string& display);

  Plan plan_;
  std::atomic<int> ready_{0};  // 0 starting, 1 holding the clipboard, -1 failed
  std::atomic<int> sent_{0};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace kestrix
