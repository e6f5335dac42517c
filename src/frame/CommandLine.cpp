#include "frame/CommandLine.h"
