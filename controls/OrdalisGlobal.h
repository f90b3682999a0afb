#pragma once
#include <QtGlobal>

#if defined(ORDALIS_BUILD)
#define ORDALIS_EXPORT Q_DECL_EXPORT
#else
#define ORDALIS_EXPORT Q_DECL_IMPORT
#endif
