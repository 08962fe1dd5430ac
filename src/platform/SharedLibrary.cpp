#include "platform/SharedLibrary.h"

namespace tevo {

Result<void*> SharedLibrary::open(const char* file)
{
    void* handle = ::dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* error = ::dlerror();
        return Result<void*>::error(QString::fromLocal8Bit(error ? error : "dlopen"));
    }
    return handle;
}

} // namespace tevo
