// The Windows module entry: InitDll gives the framework the DLL's own instance handle (recorded by
// DllMain), through which the editor finds its images in the DLL's resources.

#include "tests/vst3/Vst3TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

TEST(WindowsModuleEntry, InitDllHandsTheDllsInstanceHandleToTheFramework) {
  vst3host::Module& probe = vst3test::ProbeModule();  // loaded as a host does: LoadLibrary, then InitDll
  auto instance = reinterpret_cast<void* (*)()>(probe.Symbol("ProbeModuleInstance"));
  ASSERT_NE(instance, nullptr);
  HMODULE dll = nullptr;
  ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                 reinterpret_cast<const char*>(probe.Symbol("ProbeModuleInstance")), &dll));
  EXPECT_EQ(instance(), static_cast<void*>(dll));
  EXPECT_NE(dll, GetModuleHandleA(nullptr)) << "the DLL, not the program";
}
