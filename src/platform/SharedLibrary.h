#pragma once

#include <QString>

#include <dlfcn.h>

namespace tevo {

// A library loaded when first needed rather than linked, so that start-up does not pay for it.
// The library's symbols stay local: they take no part in resolving anyone else's.
namespace SharedLibrary {

// The handle of `file`, or nullptr with `why` set to what the loader said.
void* open(const char* file, QString* why);

// Points `function` at the symbol `name` of `handle`; false when the library has none.
template <typename Function> bool resolve(void* handle, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(::dlsym(handle, name));
    return function != nullptr;
}

} // namespace SharedLibrary

} // namespace tevo
