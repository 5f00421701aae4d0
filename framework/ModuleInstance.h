#pragma once
// The framework's instance handle: the loaded module this code lives in, through which its
// resources are found. On Windows InitDll sets it to the DLL's HINSTANCE; elsewhere (resources
// compiled in) it stays null, which also means "the program itself" to resource lookups.

void SetModuleInstance(void* handle);
void* ModuleInstance();
