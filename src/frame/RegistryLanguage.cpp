#include "frame/RegistryLanguage.h"
