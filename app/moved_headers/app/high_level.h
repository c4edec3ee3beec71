// The controller's header under its former path, for code that has not yet moved to
// app/controller/controller.h. Goes once nothing includes it.
#pragma once
#include "app/controller/controller.h"
