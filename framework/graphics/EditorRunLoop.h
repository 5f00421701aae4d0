#pragma once
// The host's event loop as a window platform sees it: one file descriptor to watch and one
// periodic timer, both calling back on the host's UI thread. Platforms whose window system
// delivers its own messages (Win32) need none. On X11 the host owns the loop and the editor only
// registers with it; the VST3 binding adapts the host's run loop to this (framework/vst3/
// HostRunLoop.h), so the graphics layer knows nothing of the SDK.

class EditorRunLoop {
public:
  class Client {
  public:
    // The watched descriptor has something to read.
    virtual void OnReadable() = 0;
    // One period of the timer has passed.
    virtual void OnTimer() = 0;

  protected:
    ~Client() = default;
  };

  virtual ~EditorRunLoop() = default;
  // Watches fd and starts a timer every periodMs for client. False, with nothing left
  // registered, when the host refuses either.
  virtual bool Start(Client* client, int fd, int periodMs) = 0;
  // Unregisters both; from then on no callback reaches the client, even one the host had already
  // queued. Harmless when nothing is registered.
  virtual void Stop() = 0;
};
