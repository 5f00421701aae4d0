// `edit`: the effect's editor in a window of this host's own, with its own run loop, playing
// nothing; every parameter change made in the editor is printed as it happens.
#include "tools/velmora-host/Commands.h"

#include "tools/session/PluginModule.h"
#include "tools/session/VelmoraMeanings.h"
#include "tools/support/HostError.h"
#include "tools/vst3host/PlugFrame.h"
#include "tools/vst3host/RefCounted.h"
#include "tools/vst3host/ViewScale.h"
#include "tools/vst3host/platform/linux/RunLoop.h"
#include "tools/vst3host/platform/x11/HostWindow.h"

#include "pluginterfaces/gui/iplugview.h"

#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace velmora_host {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// Prints each edit as "title = text units", for Velmora with what the text leaves unsaid (the
// ratio's knee, how an automatic recovery time follows the programme); the instance is known once
// it exists.
class PrintingComponentHandler : public vst3host::RefCounted<IComponentHandler> {
public:
  void SetInstance(const vst3host::Instance* instance, bool velmora) {
    mInstance = instance;
    mVelmora = velmora;
    for (const vst3host::ParameterDescription& p : instance->Parameters()) mParameters.push_back(p);
  }
  tresult PLUGIN_API beginEdit(ParamID) override { return kResultOk; }
  tresult PLUGIN_API performEdit(ParamID id, ParamValue value) override {
    std::string title = std::to_string(id), text, meaning;
    for (const vst3host::ParameterDescription& p : mParameters) {
      if (p.id != id) continue;
      title = p.title;
      text = mInstance->DisplayText(id, value);
      if (mVelmora && p.stepCount > 0) meaning = VelmoraStepMeaning(static_cast<int>(id), value, text);
      if (!text.empty() && !p.units.empty()) text += " " + p.units;
    }
    if (text.empty()) text = std::to_string(value);
    std::printf("%s = %s%s%s%s\n", title.c_str(), text.c_str(), meaning.empty() ? "" : " (", meaning.c_str(),
                meaning.empty() ? "" : ")");
    std::fflush(stdout);
    return kResultOk;
  }
  tresult PLUGIN_API endEdit(ParamID) override { return kResultOk; }
  tresult PLUGIN_API restartComponent(int32) override { return kResultOk; }

private:
  const vst3host::Instance* mInstance = nullptr;
  bool mVelmora = false;
  std::vector<vst3host::ParameterDescription> mParameters;
};

// Ctrl+C and kill end the run loop through a pipe, so the editor closes the way a host closes it.
int gStopPipe[2] = {-1, -1};
void RequestStop(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = write(gStopPipe[1], &byte, 1);
}

}  // namespace

int RunEdit(const ModuleOptions& options, double scale) {
  std::string moduleError;
  const std::unique_ptr<PluginModule> module = OrThrow(PluginModule::Open(options, &moduleError), moduleError);
  IPtr<PrintingComponentHandler> handler = owned(new PrintingComponentHandler);
  const std::unique_ptr<vst3host::Instance> instance =
      OrThrow(module->CreateEffect(handler, &moduleError), moduleError);
  const ClassDescription& effect = *OrThrow(module->EffectClass(&moduleError), moduleError);
  handler->SetInstance(instance.get(), std::memcmp(effect.cid, kVelmoraClassId.data(), kVelmoraClassId.size()) == 0);
  const std::string name = effect.name;

  IPtr<IPlugView> view = owned(instance->Controller()->createView(ViewType::kEditor));
  if (!view) throw HostError("effect \"" + name + "\" has no editor");
  if (view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID) != kResultOk)
    throw HostError("the editor of \"" + name + "\" does not open in X11 windows");
  // Before the size is asked, so the window is made at the scaled size.
  if (!vst3host::OfferContentScale(view, scale) && scale != 1.0)
    std::fprintf(stderr, "velmora-host: the editor of \"%s\" does not scale; it opens at its own size\n", name.c_str());
  ViewRect size;
  if (view->getSize(&size) != kResultOk || size.getWidth() <= 0 || size.getHeight() <= 0)
    throw HostError("the editor of \"" + name + "\" reports no size");

  std::string error;
  const std::unique_ptr<vst3host::HostWindow> window =
      vst3host::HostWindow::Open(0, 0, size.getWidth(), size.getHeight(), name + " - velmora-host", &error,
                                 vst3host::HostWindow::Embedding::kXEmbed);
  if (!window) throw HostError("edit: " + error);

  IPtr<vst3host::RunLoop> loop = owned(new vst3host::RunLoop);
  IPtr<vst3host::PlugFrame> frame = owned(new vst3host::PlugFrame(loop));
  view->setFrame(frame);
  if (view->attached(window->ParentHandle(), kPlatformTypeX11EmbedWindowID) != kResultOk) {
    view->setFrame(nullptr);
    throw HostError("the editor of \"" + name + "\" did not open");
  }
  std::printf("editor of \"%s\" open: close its window or press Ctrl+C to quit\n", name.c_str());
  std::fflush(stdout);

  if (pipe(gStopPipe) != 0) gStopPipe[0] = gStopPipe[1] = -1;
  bool stop = false;
  if (gStopPipe[0] >= 0) {
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    loop->Watch(gStopPipe[0], [&stop] { stop = true; });
  }
  loop->Watch(
      window->Descriptor(), [&window] { window->ProcessEvents(); }, [&window] { return window->HasQueuedEvents(); });
  while (!stop && !window->CloseRequested()) loop->RunOnce(250);

  view->removed();
  view->setFrame(nullptr);
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  std::printf("editor closed\n");
  return 0;
}

}  // namespace velmora_host
