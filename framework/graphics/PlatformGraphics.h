#pragma once
// The editor's graphics object for the platform this build targets. Each platform folder
// (platform/<name>/) defines MakePlatformGraphics; the build compiles the one it chose
// (VELMORA_GRAPHICS_PLATFORM, cmake/Platform.cmake), so plug-ins create their editor here and
// never name a platform class.

#include "framework/graphics/EmbeddedResources.h"

class IGraphics;
class IPlugBase;

// A new graphics object of width x height pixels refreshed frameRate times a second, reading its
// bitmaps from resources (a platform that reads them from the module's own resource section
// takes the ids and ignores the table). Owned by the caller until IPlugBase::AttachGraphics.
IGraphics* MakePlatformGraphics(IPlugBase* plugin, int width, int height, int frameRate,
                                const EmbeddedResourceTable& resources);
