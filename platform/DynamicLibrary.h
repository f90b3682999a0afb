#pragma once
#include "platform/Shared.h"
#include <QString>

#include <initializer_list>

namespace Plicora PLICORA_SHARED {

// A shared library opened when it is first needed, not when the program starts: the mail
// and printer libraries bring dozens of others with them (TLS, Kerberos, LDAP, Avahi),
// which a start-up that sends nothing and prints nothing need not map.
class DynamicLibrary
{
  public:
    // Opens the first of the names that loads; it stays open until the program ends.
    explicit DynamicLibrary(std::initializer_list<const char*> names);
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    bool isLoaded() const { return handle_ != nullptr; }
    // Why the library or the last symbol asked for could not be found.
    QString errorString() const { return error_; }

    // Points fn at the named function; false (fn null) when it is missing.
    template <class F> bool resolve(F*& fn, const char* name)
    {
        fn = reinterpret_cast<F*>(symbol(name));
        return fn != nullptr;
    }

  private:
    void* symbol(const char* name);

    void* handle_ = nullptr;
    QString error_;
};

} // namespace Plicora

using Plicora::DynamicLibrary;
