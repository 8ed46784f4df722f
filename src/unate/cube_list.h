// The cube list moved into the model's kernel; this name stays for the
// folders that still include it.
#pragma once

#include "model/cube_list.h"
