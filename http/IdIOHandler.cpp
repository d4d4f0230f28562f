#include "http/IdIOHandler.h"
