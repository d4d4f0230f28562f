#include "http/IdResourceStrings.h"
