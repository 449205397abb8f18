#include "platform/wnd/Resources.h"

namespace {

const ResourceModule* s_module = nullptr;

template <class T>
const T* FindById(std::span<const T> items, UINT id)
{
    for (const T& item : items) {
        if (item.id == id)
            return &item;
    }
    return nullptr;
}

}  // namespace

UINT AcceleratorVirtualKey(const AcceleratorEntry& entry)
{
    return !(entry.flags & FVIRTKEY) && entry.key >= 'a' && entry.key <= 'z' ? entry.key - ('a' - 'A') : entry.key;
}

void AfxSetResourceModule(const ResourceModule* module)
{
    s_module = module;
}

const ResourceModule* AfxGetResourceModule()
{
    return s_module;
}

const MenuTemplate* FindMenu(UINT id)
{
    return s_module ? FindById(s_module->menus, id) : nullptr;
}

const AcceleratorTable* FindAccelerators(UINT id)
{
    return s_module ? FindById(s_module->accelerators, id) : nullptr;
}

const char* LoadString(UINT id)
{
    const StringEntry* const entry = s_module ? FindById(s_module->strings, id) : nullptr;
    return entry ? entry->text : nullptr;
}

const DialogTemplate* FindDialog(UINT id)
{
    return s_module ? FindById(s_module->dialogs, id) : nullptr;
}

const IconResource* FindIcon(UINT id)
{
    return s_module ? FindById(s_module->icons, id) : nullptr;
}
