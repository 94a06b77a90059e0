#include "console/Addon.h"

Addon::Addon(const System::String& id, const System::String& name, const System::String& category,
             const System::String& description, const System::String& imageFileName,
             const System::String& moduleFileName, const System::String& downloadUrl, bool external)
    : id_(id),
      name_(name),
      category_(category),
      description_(description),
      imageFileName_(imageFileName),
      moduleFileName_(moduleFileName),
      downloadUrl_(downloadUrl),
      external_(external)
{
}

Addon::~Addon()
{
    if (module_) FreeLibrary(module_);
}
