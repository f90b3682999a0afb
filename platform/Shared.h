#pragma once
#include <QtGlobal>

// The services the program shares with the control library Ordalis (dialogs, clock, folders,
// settings files, registry, launcher, the utility class) live in namespace Plicora. The
// library carries its own copy and exports the namespace, and nothing else of it, so that
// the program, which links the library, works with the same dialog service, clock and folder
// mapping as the library does; another host of the library may use the same names (an
// IniFile of its own) without replacing the library's.
// Everything else in these static libraries is built hidden.
#define PLICORA_SHARED Q_DECL_EXPORT
