#pragma once
#include "Ordalis.h"
