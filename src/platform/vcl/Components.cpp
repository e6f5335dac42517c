#include "platform/vcl/Components.h"
