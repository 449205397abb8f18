#include "platform/wnd/MessageMap.h"

namespace {

const MessageMap kEmptyMap{nullptr, {}};

}  // namespace

const MessageEntry* FindMessageEntry(const MessageMap* map, UINT message, UINT id)
{
    for (; map; map = map->base) {
        for (const MessageEntry& entry : map->entries) {
            if (entry.message == message && (message != WM_COMMAND || entry.id == id))
                return &entry;
        }
    }
    return nullptr;
}

const MessageMap* CCmdTarget::GetMessageMap() const
{
    return &kEmptyMap;
}

bool CCmdTarget::OnCmdMsg(UINT id)
{
    const MessageEntry* const entry = FindMessageEntry(GetMessageMap(), WM_COMMAND, id);
    if (!entry)
        return false;
    entry->handler(*this, id, 0);
    return true;
}
