// The literal columns moved into the model's kernel; this name stays for the
// files that still include it.
#pragma once

#include "model/literal_columns.h"
