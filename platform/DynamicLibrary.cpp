#include "DynamicLibrary.h"

#include <dlfcn.h>

namespace Plicora {

DynamicLibrary::DynamicLibrary(std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        handle_ = ::dlopen(name, RTLD_NOW | RTLD_LOCAL);
        if (handle_) return;
        const char* why = ::dlerror();
        error_ = why ? QString::fromLocal8Bit(why) : QString::fromLatin1(name);
    }
}

void* DynamicLibrary::symbol(const char* name)
{
    if (!handle_) return nullptr;
    ::dlerror();
    void* at = ::dlsym(handle_, name);
    if (!at) {
        const char* why = ::dlerror();
        error_ = why ? QString::fromLocal8Bit(why) : QString::fromLatin1(name);
    }
    return at;
}

} // namespace Plicora
