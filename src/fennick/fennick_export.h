#pragma once

#include <QtCore/qglobal.h>

#if defined(FENNICK_BUILDING_LIBRARY)
#define FENNICK_EXPORT Q_DECL_EXPORT
#else
#define FENNICK_EXPORT Q_DECL_IMPORT
#endif
