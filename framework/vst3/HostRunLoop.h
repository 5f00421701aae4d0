#pragma once
// The host's run loop behind a view, as the editor's window platform needs it. Each platform
// defines ConnectHostRunLoop in its folder (platform/<name>/HostRunLoop.cpp, chosen in
// cmake/Platform.cmake).

#include "framework/graphics/EditorRunLoop.h"

#include "pluginterfaces/gui/iplugview.h"

#include <memory>

// The run loop the host's frame offers, adapted for the editor; null when the frame offers none
// (or this platform's hosts have none). The adapter keeps a reference on the host's loop.
std::unique_ptr<EditorRunLoop> ConnectHostRunLoop(Steinberg::IPlugFrame* frame);
