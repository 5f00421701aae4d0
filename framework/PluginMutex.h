#pragma once
// The re-entrant plug-in lock. Process, state save/restore, editor edits and the parameter-change
// hook hold it; re-entrancy is relied on (a preset restore inside process runs the hook again).

#include <mutex>

class PluginMutex {
public:
  void Enter() { mMutex.lock(); }
  void Leave() { mMutex.unlock(); }

private:
  std::recursive_mutex mMutex;
};

class PluginLock {
public:
  explicit PluginLock(PluginMutex& m) : mMutex(m) { mMutex.Enter(); }
  ~PluginLock() { mMutex.Leave(); }
  PluginLock(const PluginLock&) = delete;
  PluginLock& operator=(const PluginLock&) = delete;

private:
  PluginMutex& mMutex;
};
