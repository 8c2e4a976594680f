#include "module/class_table.h"

#include "mirotex_h.h"
#include "com/class_factory.h"
#include "com/com_object.h"
#include "com/registry_script_resource.h"
#include "module/resource_ids.h"
#include "plugin/cals_file.h"
#include "plugin/cals_format.h"
#include "plugin/cals_preview.h"

namespace {

template <UINT ScriptId>
HRESULT UpdateRegistry(BOOL doRegister) {
  return UpdateRegistryFromResource(g_module.instance(), ScriptId, doRegister != FALSE);
}

const void* NoCategories() { return nullptr; }

}  // namespace

ClassTableEntry g_classTable[] = {
    {&CLSID_CalsFormat, UpdateRegistry<IDR_CALSFORMAT>, CreateClassObject, CreateClassInstance<CCalsFormat>,
     nullptr, NoCategories},
    {&CLSID_CalsFile, UpdateRegistry<IDR_CALSFILE>, CreateClassObject, CreateClassInstance<CCalsFile>, nullptr,
     NoCategories},
    {&CLSID_CalsPreview, UpdateRegistry<IDR_CALSPREVIEW>, CreateClassObject, CreateClassInstance<CCalsPreview>,
     nullptr, NoCategories},
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
};
