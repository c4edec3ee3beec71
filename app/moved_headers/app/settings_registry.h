// The in-memory settings registry under its former path, for code that has not yet moved to
// app/controller/settings_registry.h. Goes once nothing includes it.
#pragma once
#include "app/controller/settings_registry.h"
